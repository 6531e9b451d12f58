// deepnums-cli's copy of the workspace file: the 42-line layout of the window's
// "deepNUMS.ini" (a count line, 20 Settings values, a count line, 20 texts with every LF
// stored as BEL), written with CR LF line ends as on Windows and read back from files
// with CR LF or LF line ends.
#pragma once

// Reads path into Settings and TextSlots (which the caller has cleared). 1 when the file
// was read, 0 when it does not exist (nothing read), −1 when it exists but cannot be read.
int cli_load_workspace(const char *path);

// The start-up defaults after reading (or instead of it): language 0 or 1, "1000"
// significant digits, "0" in every empty register text, and the full texts of R5..R9
// moved into MemoryTexts with their display copies cut at 50 characters.
void cli_apply_workspace_defaults();

// Writes Settings and the texts (R5..R9 from MemoryTexts) to a temporary file beside path
// and renames it into place. 0, or −1 when it could not be written (the old file is kept).
int cli_save_workspace(const char *path);

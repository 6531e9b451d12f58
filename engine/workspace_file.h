// The workspace file format, shared by the window and deepnums-cli: all 20 Settings and
// all 20 text slots, kept from one run to the next.
//
// 42 lines when written: "20", the Settings values 0..19 in decimal, "20", the text slots
// 0..19 with every LF inside a text stored as BEL (7); R5..R9 are written whole from
// MemoryTexts. Every line ends with CR LF, as on Windows; the reader also accepts LF
// alone, so files written on either platform load on both.
#pragma once

#include <cstddef>

// The bounds of a readable file: one line (its line end excluded) and the whole file. A
// file written here has lines of at most 109,999 bytes and about 4.4 MB in all.
constexpr size_t WORKSPACE_LINE_MAX_BYTES = size_t{1} << 20;
constexpr size_t WORKSPACE_FILE_MAX_BYTES = size_t{16} << 20;

// Reads the file at path into Settings and TextSlots (which the caller has cleared).
// 1 when it was read, 0 when it does not exist, −1 when it exists but cannot be read: not
// a regular file, a read error, or a line or the file past its bound above. After −1
// Settings and TextSlots are cleared again, so that only the defaults follow.
// Each line is one value or one text whatever its length: a text keeps its first 109,999
// bytes and the rest of its line is dropped, so no line spills into the next slot; a
// last line without LF keeps all its characters.
int workspace_read(const char *path);

// The start-up defaults, after reading or instead of it: language 0 unless it is 0 or 1,
// "1000" significant digits when the field is empty, "0" in every empty register text,
// and the full texts of R5..R9 moved into MemoryTexts with their display copies cut at 50
// characters.
void workspace_apply_defaults();

// The settings of a start without a workspace file (none, or one that cannot be read),
// before workspace_apply_defaults: the captions in the user's language and "Exact digits"
// on, for the window and the command line alike, so that a file the command line makes
// opens the window as a first start would. A file that was read keeps what it records;
// one written before the option existed records 0 there and keeps it off.
void workspace_fresh_start();

// Saving, in two steps so that a front end gathers its state only once the file can be
// written: workspace_begin_write creates a new file beside path, as file_save_begin does
// (a symbolic link followed, a target that is not a regular file or not writable refused;
// false, and nothing else happens, when it cannot); workspace_finish_write writes Settings
// and the texts into it, forces it to the disk and renames it into place with the old
// file's permissions, so a crash, a full disk or a second program saving at the same time
// never leaves a mixed or damaged file. True when the file was written.
bool workspace_begin_write(const char *path);
bool workspace_finish_write();

// Both steps at once.
bool workspace_write(const char *path);

// Why the last workspace_read returned −1 or the last save failed, as strerror words it
// ("Permission denied", "No space left on device") or "not a regular file".
const char *workspace_error();

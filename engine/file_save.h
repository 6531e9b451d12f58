// Replacing a file's whole content safely, and opening a file for reading only when it is
// a plain file. The one place where the platforms differ in how a file is saved.
//
// A save writes a new file beside the target and renames it over the target once every
// byte has reached the disk, so the target always holds either the old content or the new
// one, whole, even after a crash, a full disk or two programs saving at the same moment
// (the last rename wins). On POSIX systems the path given is resolved once: a symbolic
// link is followed to the file it names, which is the one replaced, and the link stays a
// link; the new file gets the old one's permission bits (and, where the process may set
// them, its owner and group). On every system a target that exists but is not a regular file (device, fifo, folder, socket) or
// that this user may not write is refused and nothing is written.
#pragma once

#include <cstdio>
#include <string>

struct FileSave {
  std::string target;  // the file replaced: the path with its symbolic links followed
  std::string temp;    // the new file, created exclusively beside target under a unique name
  FILE *file = nullptr;
};

// Starts a save of path: false, with the reason in *error and nothing created, when the
// target is refused or the new file cannot be made.
bool file_save_begin(FileSave *s, const char *path, std::string *error);

// Flushes s->file, forces it to the disk, closes it and renames it over the target, then
// forces the folder entry to the disk. False, with the reason in *error, when any step
// fails; the new file is removed then and the target keeps its old content.
bool file_save_commit(FileSave *s, std::string *error);

// Drops a save begun but not committed: the new file is closed and removed.
void file_save_abort(FileSave *s);

// Moves the file at path (its symbolic links followed) aside, to the same name with
// ".STEM-YYYYMMDD-HHMMSS" added (local time; "-2", "-3", ... after it when that name is
// taken), so that a save can no longer replace it. True with the new name in *kept, or
// with *kept empty when no regular file is at path (a folder or a device is left where it
// is: no save replaces it either); false with the reason in *error.
bool file_keep_aside(const char *path, const char *stem, std::string *kept, std::string *error);

// Opens path for binary reading when it is a regular file (symbolic links followed).
// nullptr otherwise, with *missing true when nothing exists at path and *error the reason
// ("not a regular file" for a device, fifo, folder or socket, which is never waited on).
FILE *open_regular_file(const char *path, bool *missing, std::string *error);

// Safe saving and plain-file reading (see file_save.h): POSIX calls on Linux, their CRT /
// Win32 counterparts on Windows. On Windows every path stays a byte string of the ANSI
// code page, as the window forms it, and goes only to the ...A and CRT calls.
#include "engine/file_save.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
namespace fs = std::filesystem;
#endif

namespace {

std::string reason(int err) { return std::strerror(err); }

#ifdef _WIN32

// What is at path: 0 nothing, 1 a regular file, 2 anything else. Windows has no links a
// program makes by accident (they need a privilege), so the path is the target.
bool find_target(const char *path, std::string *target, int *kind, std::string *) {
  *target = path;
  struct _stat64 st;
  if (_stat64(path, &st) != 0) *kind = 0;
  else *kind = (st.st_mode & _S_IFMT) == _S_IFREG ? 1 : 2;
  return true;
}

long current_pid() { return static_cast<long>(_getpid()); }

bool process_alive(long pid) {
  HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
  if (h == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;  // another user's process
  DWORD code = 0;
  const bool alive = GetExitCodeProcess(h, &code) && code == STILL_ACTIVE;
  CloseHandle(h);
  return alive;
}

int create_exclusive(const std::string &name) {
  return _open(name.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
}

// The names in a folder (byte strings of the ANSI code page, as the paths are).
std::vector<std::string> folder_names(const std::string &dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return names;
  do names.push_back(found.cFileName);
  while (FindNextFileA(h, &found));
  FindClose(h);
  return names;
}

bool target_writable(const std::string &target) { return _access(target.c_str(), 2) == 0; }

void copy_permissions(int, const std::string &, bool) {}

bool sync_file(FILE *f) { return _commit(_fileno(f)) == 0; }

bool replace_target(const std::string &temp, const std::string &target, std::string *error) {
  if (MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  *error = std::system_category().message(static_cast<int>(GetLastError()));
  return false;
}

FILE *open_for_reading(const char *path, int *err) {
  FILE *f = std::fopen(path, "rb");
  if (!f) {
    *err = errno;
    return nullptr;
  }
  struct _stat64 st;
  if (_fstat64(_fileno(f), &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG) {
    std::fclose(f);
    *err = 0;
    return nullptr;
  }
  return f;
}

#else

// Symbolic links resolved beyond this many steps are a loop, as the kernel counts them.
constexpr int MAX_LINK_STEPS = 40;

// path with every symbolic link at its end followed, one step at a time (the final target
// need not exist yet: a dangling link names the file to create). Links among the folders
// above stay as they are; the new file is made in the same folder either way.
bool resolve_links(const fs::path &path, fs::path *out, std::string *error) {
  fs::path p = path;
  for (int step = 0; step <= MAX_LINK_STEPS; ++step) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(p, ec))) {
      *out = p;
      return true;
    }
    const fs::path link = fs::read_symlink(p, ec);
    if (ec) {
      *error = ec.message();
      return false;
    }
    p = link.is_absolute() ? link : p.parent_path() / link;
  }
  *error = reason(ELOOP);
  return false;
}

// What is at path once its links are followed: 0 nothing, 1 a regular file, 2 anything
// else.
bool find_target(const char *path, std::string *target, int *kind, std::string *error) {
  fs::path resolved;
  if (!resolve_links(fs::path(path), &resolved, error)) return false;
  *target = resolved.string();
  struct stat st;
  if (stat(target->c_str(), &st) != 0) *kind = 0;
  else *kind = S_ISREG(st.st_mode) ? 1 : 2;
  return true;
}

long current_pid() { return static_cast<long>(getpid()); }

// A process that exists, whoever's it is (EPERM: another user's).
bool process_alive(long pid) { return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM; }

int create_exclusive(const std::string &name) {
  return open(name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
}

std::vector<std::string> folder_names(const std::string &dir) {
  std::vector<std::string> names;
  DIR *d = opendir(dir.c_str());
  if (d == nullptr) return names;
  while (const dirent *e = readdir(d)) names.push_back(e->d_name);
  closedir(d);
  return names;
}

bool target_writable(const std::string &target) { return access(target.c_str(), W_OK) == 0; }

// The new file gets the old one's permission bits, owner and group where the process may
// set them; a file that did not exist gets what creating it would have given (0666 less
// the umask), not mkstemp's 0600.
void copy_permissions(int fd, const std::string &target, bool existed) {
  struct stat st;
  if (existed && stat(target.c_str(), &st) == 0) {
    if (st.st_uid != geteuid() || st.st_gid != getegid()) {
      if (fchown(fd, st.st_uid, st.st_gid) != 0 && fchown(fd, static_cast<uid_t>(-1), st.st_gid) != 0) {
        // Neither could be kept: the file stays this user's, with the old bits below.
      }
    }
    fchmod(fd, st.st_mode & 07777);
    return;
  }
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
}

bool sync_file(FILE *f) { return fsync(fileno(f)) == 0; }

bool replace_target(const std::string &temp, const std::string &target, std::string *error) {
  if (std::rename(temp.c_str(), target.c_str()) != 0) {
    *error = reason(errno);
    return false;
  }
  // The rename itself reaches the disk only with its folder.
  const size_t slash = target.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string(".")
                          : slash == 0               ? std::string("/")
                                                     : target.substr(0, slash);
  const int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    fsync(dfd);
    close(dfd);
  }
  return true;
}

// Opened without waiting (a fifo would block an ordinary open until a writer comes), then
// checked on the open descriptor itself.
FILE *open_for_reading(const char *path, int *err) {
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    *err = errno;
    return nullptr;
  }
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    *err = 0;
    return nullptr;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  FILE *f = fdopen(fd, "rb");
  if (!f) {
    *err = errno;
    close(fd);
  }
  return f;
}

#endif

// The longest file name a folder takes (NAME_MAX of the usual file systems; NTFS counts
// UTF-16 units, so a byte count is on the safe side).
constexpr size_t NAME_MAX_BYTES = 255;
const char SHORT_TEMP_PREFIX[] = ".deepnums-";

// The temporary of a save by process pid: "NAME.PID.tmp" beside target, or
// ".deepnums-PID.tmp" in the same folder when the long form would pass the longest name.
// Both carry the process id, so a save can tell a temporary left by a process that has
// gone (killed while saving) from one being written now.
// target split at its last folder separator: the folder ("." for none) and the name.
void split_path(const std::string &target, std::string *dir, std::string *name) {
#ifdef _WIN32
  const size_t cut = target.find_last_of("/\\");
#else
  const size_t cut = target.rfind('/');
#endif
  *dir = cut == std::string::npos ? std::string(".") : cut == 0 ? target.substr(0, 1) : target.substr(0, cut);
  *name = cut == std::string::npos ? target : target.substr(cut + 1);
}

std::string temp_name(const std::string &target, long pid) {
  std::string dir, name;
  split_path(target, &dir, &name);
  const std::string id = std::to_string(pid) + ".tmp";
  if (name.size() + 1 + id.size() <= NAME_MAX_BYTES) return target + "." + id;
  return target.substr(0, target.size() - name.size()) + SHORT_TEMP_PREFIX + id;
}

// The process id of a temporary name of either form for a target named base; 0 for any
// other name.
long temp_pid(const std::string &entry, const std::string &base) {
  std::string digits;
  if (entry.size() > base.size() + 5 && entry.compare(0, base.size() + 1, base + ".") == 0)
    digits = entry.substr(base.size() + 1);
  else if (entry.compare(0, sizeof SHORT_TEMP_PREFIX - 1, SHORT_TEMP_PREFIX) == 0)
    digits = entry.substr(sizeof SHORT_TEMP_PREFIX - 1);
  if (digits.size() < 5 || digits.compare(digits.size() - 4, 4, ".tmp") != 0) return 0;
  digits.resize(digits.size() - 4);
  if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) return 0;
  return std::stol(digits);
}

// Removes the temporaries of target's saves whose process has gone.
void remove_stale_temps(const std::string &target) {
  std::string dir, base;
  split_path(target, &dir, &base);
  const long self = current_pid();
  for (const std::string &entry : folder_names(dir)) {
    const long pid = temp_pid(entry, base);
    if (pid > 0 && pid != self && !process_alive(pid)) std::remove((dir + "/" + entry).c_str());
  }
}

// A new file beside target, created exclusively under this process's temporary name. One
// left by an earlier process with the same id (long gone: the id is ours now) is replaced.
int create_unique(const std::string &target, std::string *temp) {
  *temp = temp_name(target, current_pid());
  int fd = create_exclusive(*temp);
  if (fd < 0 && errno == EEXIST && std::remove(temp->c_str()) == 0) fd = create_exclusive(*temp);
  return fd;
}

}  // namespace

bool file_save_begin(FileSave *s, const char *path, std::string *error) {
  file_save_abort(s);
  int kind = 0;
  if (!find_target(path, &s->target, &kind, error)) return false;
  const bool existed = kind != 0;
  if (kind == 2) {
    *error = "not a regular file";
    return false;
  }
  if (existed && !target_writable(s->target)) {
    *error = reason(errno);
    return false;
  }
  remove_stale_temps(s->target);
  const int fd = create_unique(s->target, &s->temp);
  if (fd < 0) {
    *error = reason(errno);
    return false;
  }
  copy_permissions(fd, s->target, existed);
#ifdef _WIN32
  s->file = _fdopen(fd, "wb");
#else
  s->file = fdopen(fd, "wb");
#endif
  if (!s->file) {
    *error = reason(errno);
#ifdef _WIN32
    _close(fd);
#else
    close(fd);
#endif
    std::remove(s->temp.c_str());
    return false;
  }
  return true;
}

bool file_save_commit(FileSave *s, std::string *error) {
  FILE *f = s->file;
  if (!f) {
    *error = "no file being saved";
    return false;
  }
  s->file = nullptr;
  errno = 0;
  bool ok = std::fflush(f) == 0 && !std::ferror(f) && sync_file(f);
  if (!ok) *error = reason(errno != 0 ? errno : EIO);
  errno = 0;
  if (std::fclose(f) != 0 && ok) {
    ok = false;
    *error = reason(errno != 0 ? errno : EIO);
  }
  if (ok) ok = replace_target(s->temp, s->target, error);
  if (!ok) std::remove(s->temp.c_str());
  return ok;
}

void file_save_abort(FileSave *s) {
  if (!s->file) return;
  std::fclose(s->file);
  s->file = nullptr;
  std::remove(s->temp.c_str());
}

bool file_keep_aside(const char *path, const char *stem, std::string *kept, std::string *error) {
  kept->clear();
  std::string target;
  int kind = 0;
  if (!find_target(path, &target, &kind, error)) return false;
  if (kind != 1) return true;  // nothing, or no file of ours (a folder, a device): left alone
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  const std::string base = target + "." + stem + "-" + stamp;
  for (int n = 1; n < 1000; ++n) {
    const std::string name = n == 1 ? base : base + "-" + std::to_string(n);
    struct stat st;
    if (stat(name.c_str(), &st) == 0) continue;
    if (std::rename(target.c_str(), name.c_str()) != 0) {
      *error = reason(errno);
      return false;
    }
    *kept = name;
    return true;
  }
  *error = reason(EEXIST);
  return false;
}

FILE *open_regular_file(const char *path, bool *missing, std::string *error) {
  int err = 0;
  FILE *f = open_for_reading(path, &err);
  *missing = !f && err == ENOENT;
  if (!f) *error = err != 0 ? reason(err) : "not a regular file";
  return f;
}

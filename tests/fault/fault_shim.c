/* A fault shim for the save tests, loaded with LD_PRELOAD: makes one step of a save fail
 * with a chosen error, as a full disk, a read-only file system or a refused permission
 * would. DEEPNUMS_FAULT=STEP:ERRNO, STEP one of
 *   create  opening a new file (O_CREAT) whose path contains ".tmp" fails;
 *   fsync   forcing such a file to the disk fails (a full disk shows here);
 *   rename  renaming such a file over its target fails;
 * ERRNO one of ENOSPC, EACCES, EROFS, ENAMETOOLONG, EIO; DEEPNUMS_FAULT=STEP:ERRNO:TEXT
 * fails only temporaries whose path also contains TEXT. DEEPNUMS_FAULT=fsync:SLOW makes
 * forcing a temporary to the disk take 300 ms instead (a slow disk: a kill then lands in
 * the middle of a save). Nothing else is touched. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static int fault_errno(const char *step) {
  const char *spec = getenv("DEEPNUMS_FAULT");
  size_t n = strlen(step);
  if (!spec || strncmp(spec, step, n) != 0 || spec[n] != ':') return 0;
  const char *e = spec + n + 1;
  const size_t len = strcspn(e, ":");
  static const struct {
    const char *name;
    int value;
  } errors[] = {{"ENOSPC", ENOSPC}, {"EACCES", EACCES}, {"EROFS", EROFS},
                {"ENAMETOOLONG", ENAMETOOLONG}, {"EIO", EIO}};
  for (size_t i = 0; i < sizeof errors / sizeof errors[0]; ++i)
    if (strlen(errors[i].name) == len && !strncmp(e, errors[i].name, len)) return errors[i].value;
  return 0;
}

/* A temporary of a save, whose path holds the TEXT of DEEPNUMS_FAULT when one is given. */
static int is_temp(const char *path) {
  if (!path || !strstr(path, ".tmp")) return 0;
  const char *spec = getenv("DEEPNUMS_FAULT");
  const char *text = spec ? strchr(spec, ':') : NULL;
  text = text ? strchr(text + 1, ':') : NULL;
  return !text || strstr(path, text + 1) != NULL;
}

/* Whether the open descriptor fd is a temporary (its path, as the kernel names it). */
static int opened_as_temp(int fd) {
  char link[64], path[4096];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  ssize_t n = readlink(link, path, sizeof path - 1);
  if (n <= 0) return 0;
  path[n] = '\0';
  return is_temp(path);
}

typedef int (*open_fn)(const char *, int, ...);
typedef int (*openat_fn)(int, const char *, int, ...);

/* The mode argument of an open that creates. */
#define CREATE_MODE(flags, mode)        \
  do {                                  \
    if ((flags) & O_CREAT) {            \
      va_list ap;                       \
      va_start(ap, flags);              \
      mode = va_arg(ap, mode_t);        \
      va_end(ap);                       \
    }                                   \
  } while (0)

static int creating(const char *path, int flags) {
  int e = (flags & O_CREAT) && is_temp(path) ? fault_errno("create") : 0;
  if (e) errno = e;
  return e;
}

static int open_through(const char *name, const char *path, int flags, mode_t mode) {
  if (creating(path, flags)) return -1;
  open_fn real = (open_fn)dlsym(RTLD_NEXT, name);
  return real(path, flags, mode);
}

int open(const char *path, int flags, ...) {
  mode_t mode = 0;
  CREATE_MODE(flags, mode);
  return open_through("open", path, flags, mode);
}

int open64(const char *path, int flags, ...) {
  mode_t mode = 0;
  CREATE_MODE(flags, mode);
  return open_through("open64", path, flags, mode);
}

int openat(int dir, const char *path, int flags, ...) {
  mode_t mode = 0;
  CREATE_MODE(flags, mode);
  if (creating(path, flags)) return -1;
  static openat_fn real;
  if (!real) real = (openat_fn)dlsym(RTLD_NEXT, "openat");
  return real(dir, path, flags, mode);
}

int fsync(int fd) {
  const char *spec = getenv("DEEPNUMS_FAULT");
  struct stat st;
  if (spec && !strcmp(spec, "fsync:SLOW") && fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) usleep(300000);
  int e = opened_as_temp(fd) ? fault_errno("fsync") : 0;
  if (e) {
    errno = e;
    return -1;
  }
  static int (*real)(int);
  if (!real) real = (int (*)(int))dlsym(RTLD_NEXT, "fsync");
  return real(fd);
}

int rename(const char *from, const char *to) {
  int e = is_temp(from) ? fault_errno("rename") : 0;
  if (e) {
    errno = e;
    return -1;
  }
  static int (*real)(const char *, const char *);
  if (!real) real = (int (*)(const char *, const char *))dlsym(RTLD_NEXT, "rename");
  return real(from, to);
}

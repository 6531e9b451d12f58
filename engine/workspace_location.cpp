// Where the window keeps its workspace file (see workspace_location.h). The decision is
// plain string work; only workspace_facts() and workspace_create_folder() ask the system.
#include "engine/workspace_location.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "engine/file_save.h"

#ifdef _WIN32
#include <direct.h>
#include <windows.h>
#else
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const char FILE_NAME[] = "deepNUMS.ini";

bool is_separator(char c, bool windows) { return c == '/' || (windows && c == '\\'); }

// Absolute, or at least not to be read from the current folder: "/x" on Linux; "\x",
// "/x", "C:\x" and "C:x" on Windows (a drive-relative name stays with its drive).
bool is_absolute(const std::string &p, bool windows) {
  if (p.empty()) return false;
  if (is_separator(p[0], windows)) return true;
  return windows && p.size() >= 2 && p[1] == ':' &&
         ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'));
}

// dir joined with name by one separator of the system.
std::string join(const std::string &dir, const std::string &name, bool windows) {
  if (dir.empty()) return name;
  if (is_separator(dir.back(), windows)) return dir + name;
  return dir + (windows ? "\\" : "/") + name;
}

}  // namespace

WorkspaceLocation workspace_location(const WorkspaceFacts &facts, const char *chosen) {
  const bool win = facts.windows;
  WorkspaceLocation loc;
  if (chosen != nullptr && chosen[0] != '\0') {
    const std::string c = chosen;
    loc.path = is_absolute(c, win) ? c : join(facts.current_dir, c, win);
    return loc;
  }
  if (win) {
    if (!facts.program_dir.empty() && facts.program_dir_writable && !facts.program_installed) {
      loc.path = join(facts.program_dir, FILE_NAME, true);
    } else if (is_absolute(facts.appdata, true)) {
      loc.path = join(join(facts.appdata, "deepNUMS", true), FILE_NAME, true);
    }
  } else {
    // A relative XDG_CONFIG_HOME is to be ignored, as the base-directory rules say.
    if (is_absolute(facts.xdg_config_home, false)) {
      loc.path = join(join(facts.xdg_config_home, "deepnums", false), FILE_NAME, false);
    } else if (is_absolute(facts.home, false)) {
      loc.path = join(join(join(facts.home, ".config", false), "deepnums", false), FILE_NAME, false);
    }
  }
  const std::string old_place = facts.current_dir.empty() ? std::string()
                                                          : join(facts.current_dir, FILE_NAME, win);
  if (loc.path.empty()) {
    loc.path = old_place;  // nowhere else to go: where the file always was
  } else if (!old_place.empty() && old_place != loc.path) {
    loc.first_read = old_place;
  }
  return loc;
}

std::string rescue_folder(const WorkspaceFacts &facts) {
  const bool win = facts.windows;
  if (win && is_absolute(facts.localappdata, true)) return join(facts.localappdata, "deepNUMS", true);
  if (!win && is_absolute(facts.xdg_state_home, false)) return join(facts.xdg_state_home, "deepnums", false);
  if (!win && is_absolute(facts.home, false))
    return join(join(join(facts.home, ".local", false), "state", false), "deepnums", false);
  return facts.current_dir;
}

int language_of_locale(const char *lc_all, const char *lc_messages, const char *lang) {
  for (const char *v : {lc_all, lc_messages, lang}) {
    if (v == nullptr || v[0] == '\0') continue;
    return (v[0] == 'j' && v[1] == 'a' && (v[2] == '\0' || v[2] == '_' || v[2] == '.' || v[2] == '@'))
               ? 0
               : 1;
  }
  return 1;
}

#ifdef _WIN32

int first_start_language() {
  return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? 0 : 1;
}

namespace {

std::string env_a(const char *name) {
  char buf[MAX_PATH * 2];
  const DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
  return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
}

std::string strip_separator(std::string p) {
  while (p.size() > 3 && (p.back() == '\\' || p.back() == '/')) p.pop_back();
  return p;
}

}  // namespace

WorkspaceFacts workspace_facts() {
  WorkspaceFacts f;
  f.windows = true;
  char buf[MAX_PATH * 2];
  DWORD n = GetCurrentDirectoryA(sizeof buf, buf);
  if (n > 0 && n < sizeof buf) f.current_dir = strip_separator(std::string(buf, n));
  n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  if (n > 0 && n < sizeof buf) {
    std::string exe(buf, n);
    const size_t cut = exe.find_last_of("\\/");
    if (cut != std::string::npos) f.program_dir = strip_separator(exe.substr(0, cut + 1));
  }
  // Writable as a save needs it: a new file can be made beside deepNUMS.ini (and an
  // existing one may be written). A name the ANSI code page cannot spell holds a '?'
  // and is no use either.
  if (!f.program_dir.empty() && f.program_dir.find('?') == std::string::npos) {
    FileSave probe;
    std::string error;
    f.program_dir_writable = file_save_begin(&probe, join(f.program_dir, FILE_NAME, true).c_str(), &error);
    file_save_abort(&probe);
  }
  if (!f.program_dir.empty())
    f.program_installed = GetFileAttributesA(join(f.program_dir, "Uninstall.exe", true).c_str()) != INVALID_FILE_ATTRIBUTES;
  f.appdata = strip_separator(env_a("APPDATA"));
  f.localappdata = strip_separator(env_a("LOCALAPPDATA"));
  return f;
}

bool workspace_create_folder(const std::string &path, std::string *error) {
  const size_t cut = path.find_last_of("\\/");
  if (cut == std::string::npos) return true;  // the current folder
  const std::string dir = path.substr(0, cut);
  // Each folder on the way, from the top; the drive or share itself is never made.
  for (size_t i = 0; i <= dir.size(); ++i) {
    if (i < dir.size() && dir[i] != '\\' && dir[i] != '/') continue;
    const std::string part = dir.substr(0, i);
    if (part.empty() || (part.size() == 2 && part[1] == ':') || part.find_first_not_of("\\/") == std::string::npos)
      continue;
    const DWORD attr = GetFileAttributesA(part.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES) continue;
    if (_mkdir(part.c_str()) != 0 && errno != EEXIST) {
      *error = std::strerror(errno);
      return false;
    }
  }
  const DWORD attr = GetFileAttributesA(dir.c_str());
  if (attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_DIRECTORY)) {
    *error = "not a folder";
    return false;
  }
  return true;
}

#else

int first_start_language() {
  return language_of_locale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

WorkspaceFacts workspace_facts() {
  WorkspaceFacts f;
  f.windows = false;
  if (char *cwd = getcwd(nullptr, 0)) {
    f.current_dir = cwd;
    std::free(cwd);
  }
  if (const char *x = std::getenv("XDG_CONFIG_HOME")) f.xdg_config_home = x;
  if (const char *x = std::getenv("XDG_STATE_HOME")) f.xdg_state_home = x;
  if (const char *h = std::getenv("HOME"); h && h[0]) {
    f.home = h;
  } else if (const passwd *pw = getpwuid(getuid()); pw && pw->pw_dir) {
    f.home = pw->pw_dir;
  }
  while (f.home.size() > 1 && f.home.back() == '/') f.home.pop_back();
  return f;
}

bool workspace_create_folder(const std::string &path, std::string *error) {
  const size_t cut = path.rfind('/');
  if (cut == std::string::npos || cut == 0) return true;  // the current folder, or /
  const std::string dir = path.substr(0, cut);
  for (size_t i = 1; i <= dir.size(); ++i) {
    if (i < dir.size() && dir[i] != '/') continue;
    if (dir[i - 1] == '/') continue;  // "//" in the path
    const std::string part = dir.substr(0, i);
    struct stat st;
    if (stat(part.c_str(), &st) == 0) continue;
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
      *error = std::strerror(errno);
      return false;
    }
  }
  struct stat st;
  if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    *error = "not a folder";
    return false;
  }
  return true;
}

#endif

// A console helper of the Windows end-to-end test: looks at the running deepNUMS window
// through the Win32 services, as a second program on the same desktop.
//
//   win32_probe find            waits for the window, found by its title, to be shown;
//                               prints the client area's screen origin and size and the
//                               window's outer rectangle:
//                               "client X Y window L T R B size W H"
//   win32_probe rect ID         the rectangle of the child control ID in client
//                               coordinates, as the program laid it out: "L T R B"
//   win32_probe at X Y          the control id under the client point (X, Y), -1 for none
//   win32_probe text ID         the text of the child control ID (its bytes, CR LF as \r\n)
//   win32_probe close           asks the window to close (WM_CLOSE) and waits until it is
//                               gone
//   win32_probe endsession      ends the session as a logout does (WM_QUERYENDSESSION, then
//                               WM_ENDSESSION); 0 when the window is gone afterwards
//   win32_probe ready           does nothing (a first Wine program on a new display)
//   win32_probe maximize        maximizes the window, as its title bar's button does, and
//                               prints what "find" prints once it is maximized
//   win32_probe focus           the control id that has the keyboard focus, -1 for none
//   win32_probe keys KEY...     brings the window to the front and presses the keys with
//                               SendInput, as a keyboard does: a KEY is a name with
//                               modifiers before it, "ctrl+shift+z"; names: a..z, 0..9,
//                               tab, return, escape, left, right, up, down, home, end,
//                               f1..f12, add and subtract (the keypad's), equal, minus
// Exit code 0 on success, 1 when the window is not there.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char *const TITLE = "deepNUMS : 100,000 digits Scientific Calculator R1.30";

HWND find_window(int timeout_ms) {
  for (int waited = 0;; waited += 100) {
    // The window exists from the start of its creation message on; it is ready once it
    // has been shown.
    HWND h = FindWindowA("deepNUMS", TITLE);
    if (h && IsWindowVisible(h)) return h;
    if (waited >= timeout_ms) return nullptr;
    Sleep(100);
  }
}

int find(HWND h) {
  POINT origin{0, 0};
  ClientToScreen(h, &origin);
  RECT wr, cr;
  GetWindowRect(h, &wr);
  GetClientRect(h, &cr);
  std::printf("client %ld %ld window %ld %ld %ld %ld size %ld %ld\n", origin.x, origin.y, wr.left,
              wr.top, wr.right, wr.bottom, cr.right, cr.bottom);
  return 0;
}

int rect(HWND h, int id) {
  HWND c = GetDlgItem(h, id);
  if (!c) return 1;
  RECT r;
  GetWindowRect(c, &r);
  MapWindowPoints(nullptr, h, reinterpret_cast<POINT *>(&r), 2);
  std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
  return 0;
}

int at(HWND h, int x, int y) {
  POINT p{x, y};
  HWND c = ChildWindowFromPointEx(h, p, CWP_ALL);
  std::printf("%d\n", (c && c != h) ? GetDlgCtrlID(c) : -1);
  return 0;
}

int text(HWND h, int id) {
  HWND c = GetDlgItem(h, id);
  if (!c) return 1;
  // WM_GETTEXT itself: GetWindowText does not ask a control of another program.
  const LRESULT n = SendMessageA(c, WM_GETTEXTLENGTH, 0, 0);
  std::string s(static_cast<size_t>(n) + 1, '\0');
  s.resize(static_cast<size_t>(
      SendMessageA(c, WM_GETTEXT, static_cast<WPARAM>(n + 1), reinterpret_cast<LPARAM>(s.data()))));
  std::string out;
  for (char ch : s) {
    if (ch == '\r') out += "\\r";
    else if (ch == '\n') out += "\\n";
    else out += ch;
  }
  std::printf("%s\n", out.c_str());
  return 0;
}

int close(HWND h) {
  PostMessageA(h, WM_CLOSE, 0, 0);
  for (int i = 0; i < 200; ++i) {
    if (!IsWindow(h)) return 0;
    Sleep(50);
  }
  return 1;
}

// The session ends, as a logout sends it: WM_QUERYENDSESSION, then WM_ENDSESSION with
// TRUE. After that the system ends the process; the window must be gone by then.
int end_session(HWND h) {
  DWORD_PTR agreed = 0;
  if (!SendMessageTimeoutA(h, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000, &agreed) ||
      !agreed)
    return 1;
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(h, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 20000, &ignored);
  return IsWindow(h) ? 1 : 0;
}

int maximize(HWND h) {
  // Asynchronous: the window belongs to another process, which handles it in its own loop.
  ShowWindowAsync(h, SW_MAXIMIZE);
  for (int i = 0; i < 100 && !IsZoomed(h); ++i) Sleep(50);
  if (!IsZoomed(h)) return 1;
  Sleep(300);  // its size handling and painting
  return find(h);
}

int focus(HWND h) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(h, nullptr);
  HWND f = GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
  std::printf("%d\n", (f && f != h && IsChild(h, f)) ? GetDlgCtrlID(f) : -1);
  return 0;
}

// The virtual key of a key name; 0 when unknown.
WORD key_code(const std::string &name) {
  if (name.size() == 1 && name[0] >= 'a' && name[0] <= 'z') return static_cast<WORD>(name[0] - 'a' + 'A');
  if (name.size() == 1 && name[0] >= '0' && name[0] <= '9') return static_cast<WORD>(name[0]);
  if (name.size() >= 2 && name[0] == 'f' && std::atoi(name.c_str() + 1) >= 1 && std::atoi(name.c_str() + 1) <= 12)
    return static_cast<WORD>(VK_F1 + std::atoi(name.c_str() + 1) - 1);
  static const struct {
    const char *name;
    WORD vk;
  } names[] = {{"tab", VK_TAB},     {"return", VK_RETURN}, {"escape", VK_ESCAPE},   {"left", VK_LEFT},
               {"right", VK_RIGHT}, {"up", VK_UP},         {"down", VK_DOWN},       {"add", VK_ADD},
               {"subtract", VK_SUBTRACT}, {"equal", VK_OEM_PLUS}, {"minus", VK_OEM_MINUS},
               {"home", VK_HOME},   {"end", VK_END},
               {"ctrl", VK_CONTROL}, {"shift", VK_SHIFT},  {"alt", VK_MENU}};
  for (const auto &n : names) {
    if (name == n.name) return n.vk;
  }
  return 0;
}

void send_key(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  if (vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN || vk == VK_HOME || vk == VK_END ||
      vk == VK_DIVIDE)
    in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
  SendInput(1, &in, sizeof in);
  Sleep(30);
}

int keys(HWND h, int count, char **names) {
  SetForegroundWindow(h);
  Sleep(200);
  for (int i = 0; i < count; ++i) {
    // "ctrl+shift+z": modifiers down, the key, modifiers up in reverse.
    std::vector<WORD> chord;
    const std::string chord_text = names[i];
    size_t start = 0;
    for (;;) {
      const size_t plus = chord_text.find('+', start);
      const WORD vk = key_code(chord_text.substr(start, plus == std::string::npos ? std::string::npos : plus - start));
      if (vk == 0) {
        std::fprintf(stderr, "win32_probe: unknown key in \"%s\"\n", names[i]);
        return 2;
      }
      chord.push_back(vk);
      if (plus == std::string::npos) break;
      start = plus + 1;
    }
    for (WORD vk : chord) send_key(vk, false);
    for (auto it = chord.rbegin(); it != chord.rend(); ++it) send_key(*it, true);
    Sleep(50);
  }
  return 0;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: win32_probe find|rect ID|at X Y|text ID|focus|keys KEY...|maximize|close|endsession\n");
    return 2;
  }
  const std::string cmd = argv[1];
  if (cmd == "ready") return 0;
  HWND h = find_window(cmd == "find" ? 30000 : 2000);
  if (!h) {
    std::fprintf(stderr, "win32_probe: no window titled \"%s\"\n", TITLE);
    return 1;
  }
  if (cmd == "find") return find(h);
  if (cmd == "rect" && argc == 3) return rect(h, std::atoi(argv[2]));
  if (cmd == "at" && argc == 4) return at(h, std::atoi(argv[2]), std::atoi(argv[3]));
  if (cmd == "text" && argc == 3) return text(h, std::atoi(argv[2]));
  if (cmd == "close") return close(h);
  if (cmd == "endsession") return end_session(h);
  if (cmd == "focus") return focus(h);
  if (cmd == "maximize") return maximize(h);
  if (cmd == "keys") return keys(h, argc - 2, argv + 2);
  std::fprintf(stderr, "win32_probe: unknown command\n");
  return 2;
}

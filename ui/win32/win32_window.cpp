// Win32 backend: the main window, its window procedure and message loop, scroll bars,
// message boxes, posted calls and the timer.
//
// The class "deepNUMS" is registered with RegisterClassA (class style CS_HREDRAW |
// CS_VREDRAW, the program's icon from its resources, or the standard application icon in
// an executable without one, the arrow cursor, the button-face colour as background) and the window created with CreateWindowExA; the front end's ui_on_create
// runs inside WM_CREATE, before CreateWindowExA returns. Every message is handled on the
// main thread. The worker thread reaches it only through plat_post_call: the call is
// queued under a lock and a private message (WM_APP) is posted to the main window; the
// window procedure drains the queue, also while a modal message box runs its own loop.
#include <algorithm>
#include <atomic>
#include <deque>
#include <mutex>
#include <utility>

#include "ui/win32/win32_backend.h"

HINSTANCE win32_instance = nullptr;

namespace {

UiWindow main_handle;

constexpr UINT WM_POSTED_CALL = WM_APP + 1;
constexpr UINT_PTR PROGRESS_TIMER_ID = 1;

// Calls posted from any thread, run on the main thread in the order they came.
std::mutex posted_mutex;
std::deque<std::pair<void (*)(intptr_t), intptr_t>> posted_calls;
std::atomic<DWORD> main_thread_id{0};
// The main window as the target of posted calls; read from any thread.
std::atomic<HWND> post_target{nullptr};

void run_posted_calls() {
  for (;;) {
    std::pair<void (*)(intptr_t), intptr_t> call;
    {
      std::lock_guard<std::mutex> lock(posted_mutex);
      if (posted_calls.empty()) return;
      call = posted_calls.front();
      posted_calls.pop_front();
    }
    if (call.first) call.first(call.second);
  }
}

int bar_code(UiBar bar) { return bar == UI_BAR_VERT ? SB_VERT : SB_HORZ; }

}  // namespace

UiWindow *win32_main() { return &main_handle; }

LRESULT CALLBACK win32_window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_CREATE:
      main_handle.hwnd = hwnd;
      main_handle.is_main = true;
      post_target.store(hwnd);
      ui_on_create(&main_handle);
      return 0;
    // The user's close: the front end saves, or asks what to do when it cannot, and may
    // keep the window open.
    case WM_CLOSE:
      if (ui_on_close(false)) DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      ui_on_destroy();
      return 0;
    // The session ends (logout, shutdown): the process is ended once WM_ENDSESSION
    // returns, so the window is closed here, synchronously, as the user's close does (the
    // run cancelled, the workspace saved), but nobody can be asked: a workspace that
    // cannot be saved goes to a rescue file.
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wparam) {
        ui_on_close(true);
        DestroyWindow(hwnd);
      }
      return 0;
    case WM_NCDESTROY:
      post_target.store(nullptr);
      main_handle.hwnd = nullptr;
      break;
    case WM_SIZE:
      ui_on_size(LOWORD(lparam), HIWORD(lparam));
      return 0;
    case WM_ACTIVATE:
      if (win32_on_activate(hwnd, wparam)) return 0;
      break;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (dc) {
        UiPaint paint{dc};
        ui_on_paint(&paint);
        win32_paint_focus_ring(dc);
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_COMMAND:
      ui_on_command(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_CONTEXTMENU:
      // From the background, or passed on by a control that showed none of its own.
      if (win32_context_menu(win32_main(), lparam)) return 0;
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      // Only the window's own bars; the edit boxes keep their scroll bars to themselves.
      if (lparam != 0) break;
      ui_on_scroll(msg == WM_VSCROLL ? UI_BAR_VERT : UI_BAR_HORZ, LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_MOUSEWHEEL:
      // Vertical, or horizontal with Shift held; an edit box under the mouse that has
      // no more to scroll passes its wheel on to here.
      ui_on_wheel((GET_KEYSTATE_WPARAM(wparam) & MK_SHIFT) ? UI_BAR_HORZ : UI_BAR_VERT,
                  GET_WHEEL_DELTA_WPARAM(wparam));
      return 0;
    case WM_MOUSEHWHEEL:
      ui_on_wheel(UI_BAR_HORZ, -GET_WHEEL_DELTA_WPARAM(wparam));  // positive is to the right
      return 0;
    case WM_TIMER:
      if (wparam != PROGRESS_TIMER_ID) break;
      ui_on_timer();
      return 0;
    case WM_POSTED_CALL:
      run_posted_calls();
      return 0;
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wparam, lparam);
}

UiHandle plat_create_main_window(const char *class_name, const char *title) {
  main_thread_id.store(GetCurrentThreadId());
  WNDCLASSA wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;  // 3
  wc.lpfnWndProc = win32_window_proc;
  wc.cbClsExtra = 0;
  wc.cbWndExtra = 0;
  wc.hInstance = win32_instance;
  // Icon 1 of deepNUMS.exe (packaging/windows/resources.rc.in); a test runner has none.
  wc.hIcon = LoadIconA(win32_instance, MAKEINTRESOURCEA(1));
  if (!wc.hIcon) wc.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_BTNFACE + 1));
  wc.lpszMenuName = nullptr;
  wc.lpszClassName = class_name;
  if (!RegisterClassA(&wc)) return nullptr;
  // WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL = 0x00FF0000.
  HWND hwnd = CreateWindowExA(0, class_name, title, WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                              nullptr, win32_instance, nullptr);
  if (!hwnd) return nullptr;
  return &main_handle;
}

void plat_show_window(UiHandle main, int show_command) {
  if (!main || !main->hwnd) return;
  // The focus is always marked, not only after the first key press.
  SendMessageA(main->hwnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  ShowWindow(main->hwnd, show_command);
  UpdateWindow(main->hwnd);
}

void plat_move_window(UiHandle w, int x, int y, int width, int height) {
  if (!w || !w->hwnd) return;
  MoveWindow(w->hwnd, x, y, width, height, TRUE);
  win32_rewrap(w);
}

void plat_resize_window(UiHandle w, int width, int height) {
  if (w && w->hwnd)
    SetWindowPos(w->hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool plat_window_rect(UiHandle w, UiRect *out) {
  if (!w || !w->hwnd || !out) return false;
  RECT rc;
  if (!GetWindowRect(w->hwnd, &rc)) return false;
  *out = UiRect{rc.left, rc.top, rc.right, rc.bottom};
  return true;
}

UiRect plat_work_area(UiHandle main) {
  HMONITOR monitor = MonitorFromWindow(main && main->hwnd ? main->hwnd : nullptr, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!monitor || !GetMonitorInfoA(monitor, &info)) return UiRect{0, 0, 0, 0};
  return UiRect{info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

void plat_virtual_screen_size(int *width, int *height) {
  if (width) *width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  if (height) *height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
}

UiFontMetrics plat_font_metrics(UiHandle main) {
  UiFontMetrics fm{0, 0, 0, 0};
  if (!main || !main->hwnd) return fm;
  HDC dc = GetDC(main->hwnd);
  if (!dc) return fm;
  // The captions' font, in which the layout is measured.
  HGDIOBJ old = SelectObject(dc, win32_caption_font());
  TEXTMETRICA tm;
  if (GetTextMetricsA(dc, &tm)) {
    fm.avg_char_width = tm.tmAveCharWidth;
    fm.height = tm.tmHeight;
    fm.external_leading = tm.tmExternalLeading;
    fm.pitch_and_family = tm.tmPitchAndFamily;
  }
  SelectObject(dc, old);
  ReleaseDC(main->hwnd, dc);
  return fm;
}

void plat_invalidate(UiHandle main) {
  if (main && main->hwnd) InvalidateRect(main->hwnd, nullptr, TRUE);
}

void plat_invalidate_rect(UiHandle main, UiRect rect) {
  if (!main || !main->hwnd) return;
  RECT rc{rect.left, rect.top, rect.right, rect.bottom};
  InvalidateRect(main->hwnd, &rc, TRUE);
}

void plat_set_scroll_range(UiHandle main, UiBar bar, int min, int max, int page) {
  if (!main || !main->hwnd) return;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE;
  si.nMin = min;
  si.nMax = max;
  si.nPage = static_cast<UINT>(std::max(page, 0));
  SetScrollInfo(main->hwnd, bar_code(bar), &si, TRUE);
}

void plat_set_scroll_pos(UiHandle main, UiBar bar, int pos) {
  if (!main || !main->hwnd) return;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_POS;
  si.nPos = pos;
  SetScrollInfo(main->hwnd, bar_code(bar), &si, TRUE);
}

UiScrollInfo plat_get_scroll(UiHandle main, UiBar bar) {
  UiScrollInfo info{0, 0, 0, 0, 0};
  if (!main || !main->hwnd) return info;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  if (GetScrollInfo(main->hwnd, bar_code(bar), &si)) {
    info.min = si.nMin;
    info.max = si.nMax;
    info.page = static_cast<int>(si.nPage);
    info.pos = si.nPos;
    info.track = si.nTrackPos;
  }
  return info;
}

void plat_scroll_client(UiHandle main, int dx, int dy) {
  // Whole client area, children included; the uncovered part becomes invalid.
  if (main && main->hwnd) ScrollWindow(main->hwnd, dx, dy, nullptr, nullptr);
}

int plat_message_box(UiHandle owner, const char *text, const char *title, uint32_t flags) {
  HWND hwnd = owner ? owner->hwnd : nullptr;
  if (!text) text = "";
  if (!title) title = "";
  if (win32_is_ascii(text) && win32_is_ascii(title)) return MessageBoxA(hwnd, text, title, flags);
  return MessageBoxW(hwnd, win32_widen(text).c_str(), win32_widen(title).c_str(), flags);
}

int plat_run_loop() {
  MSG msg;
  BOOL got;
  while ((got = GetMessageA(&msg, nullptr, 0, 0)) != 0) {
    if (got == -1) break;
    // A call posted while there was no main window arrives as a thread message.
    if (msg.hwnd == nullptr && msg.message == WM_POSTED_CALL) {
      run_posted_calls();
      continue;
    }
    if (win32_translate_key(&msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void plat_quit(int code) { PostQuitMessage(code); }

void plat_post_call(void (*fn)(intptr_t), intptr_t arg) {
  {
    std::lock_guard<std::mutex> lock(posted_mutex);
    posted_calls.emplace_back(fn, arg);
  }
  HWND hwnd = post_target.load();
  if (!hwnd || !PostMessageA(hwnd, WM_POSTED_CALL, 0, 0)) {
    const DWORD thread = main_thread_id.load();
    if (thread) PostThreadMessageA(thread, WM_POSTED_CALL, 0, 0);
  }
}

void plat_set_timer(UiHandle main, int interval_ms) {
  if (main && main->hwnd)
    SetTimer(main->hwnd, PROGRESS_TIMER_ID, static_cast<UINT>(std::max(interval_ms, 1)), nullptr);
}

void plat_kill_timer(UiHandle main) {
  if (main && main->hwnd) KillTimer(main->hwnd, PROGRESS_TIMER_ID);
}

// The Win32 backend with the real front end and the real engine, in a hidden window: the
// window and its controls as the control table describes them, commands on the worker
// thread, captions in UTF-16, display breaks in the register boxes, posted calls, scroll
// bars, the start-up failure and the workspace file with CR LF line ends.
// Runs on Windows or under Wine (with a display: Xvfb).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "engine/executor.h"
#include "engine/state.h"
#include "ui/commands.h"
#include "ui/control_table.h"
#include "ui/function_list.h"
#include "ui/keys.h"
#include "ui/main_window.h"
#include "ui/register_tools.h"
#include "ui/undo.h"
#include "ui/win32/win32_backend.h"

#include <commctrl.h>

#include "ui/workspace.h"

namespace {

namespace fs = std::filesystem;

std::string read_bytes(const fs::path &p) {
  FILE *f = _wfopen(p.c_str(), L"rb");
  if (!f) return "<missing>";
  std::string s;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
  std::fclose(f);
  return s;
}

void write_bytes(const fs::path &p, const std::string &bytes) {
  FILE *f = _wfopen(p.c_str(), L"wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

std::vector<std::string> split_crlf_lines(const std::string &s, bool *all_crlf) {
  std::vector<std::string> lines;
  *all_crlf = true;
  size_t start = 0;
  while (start < s.size()) {
    size_t lf = s.find('\n', start);
    if (lf == std::string::npos) {
      *all_crlf = false;
      lines.push_back(s.substr(start));
      break;
    }
    if (lf == start || s[lf - 1] != '\r') *all_crlf = false;
    lines.push_back(s.substr(start, lf - start - (lf > start && s[lf - 1] == '\r' ? 1 : 0)));
    start = lf + 1;
  }
  return lines;
}

std::wstring window_text_w(HWND h) {
  const int n = GetWindowTextLengthW(h);
  std::wstring w(static_cast<size_t>(n) + 1, L'\0');
  const int got = GetWindowTextW(h, w.data(), n + 1);
  w.resize(static_cast<size_t>(got));
  return w;
}

std::string window_text_a(HWND h) {
  const int n = GetWindowTextLengthA(h);
  std::string s(static_cast<size_t>(n) + 1, '\0');
  const int got = GetWindowTextA(h, s.data(), n + 1);
  s.resize(static_cast<size_t>(got));
  return s;
}

size_t longest_run(const std::string &s) {
  size_t best = 0, run = 0;
  for (char c : s) {
    run = (c == ' ' || c == '\t' || c == '\r' || c == '\n') ? 0 : run + 1;
    best = std::max(best, run);
  }
  return best;
}

class Win32Window : public ::testing::Test {
 protected:
  void SetUp() override {
    win32_instance = GetModuleHandleA(nullptr);
    old_dir_ = fs::current_path();
    std::random_device rd;
    dir_ = fs::temp_directory_path() / ("deepnums_win32_" + std::to_string(rd()));
    fs::create_directories(dir_);
    fs::current_path(dir_);
    // The workspace file in the test's folder, as with --workspace deepNUMS.ini; it holds
    // the Japanese captions, as a Japanese user's would, whatever language Wine runs in.
    set_workspace_file("deepNUMS.ini");
    write_bytes(dir_ / "deepNUMS.ini", "1\r\n0\r\n0\r\n");
  }

  void TearDown() override {
    if (hwnd_) close();
    fs::current_path(old_dir_);
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  // Creates the main window as the program does (hidden: no ShowWindow).
  void open() {
    UiHandle w = plat_create_main_window(WINDOW_CLASS_NAME, WINDOW_TITLE);
    ASSERT_NE(w, nullptr) << "error " << GetLastError();
    hwnd_ = w->hwnd;
    ASSERT_NE(hwnd_, nullptr);
    ASSERT_EQ(main_window, w);
  }

  // Destroys it (the workspace is saved) and drains the quit message.
  void close() {
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message != WM_QUIT) DispatchMessageA(&msg);
    }
    UnregisterClassA(WINDOW_CLASS_NAME, win32_instance);
  }

  // Dispatches messages until pred() holds or the timeout passed.
  template <class Pred>
  bool pump_until(Pred pred, int timeout_ms = 20000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!pred()) {
      if (std::chrono::steady_clock::now() > end) return false;
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      Sleep(1);
    }
    return true;
  }

  HWND child(int id) { return GetDlgItem(hwnd_, id); }

  // A button press as the button reports it.
  void press(int id) {
    SendMessageA(hwnd_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(child(id)));
  }

  void run_command(int id) {
    press(id);
    ASSERT_TRUE(pump_until([] { return !command_running(); })) << "command " << id << " did not end";
  }

  fs::path old_dir_, dir_;
  HWND hwnd_ = nullptr;
};

TEST_F(Win32Window, ClassWindowAndControlsFollowTheControlTable) {
  open();
  EXPECT_EQ(GetClassLongPtrA(hwnd_, GCL_STYLE), static_cast<ULONG_PTR>(CS_HREDRAW | CS_VREDRAW));
  EXPECT_EQ(GetClassLongPtrA(hwnd_, GCLP_HBRBACKGROUND), static_cast<ULONG_PTR>(COLOR_BTNFACE + 1));
  EXPECT_EQ(window_text_a(hwnd_), "deepNUMS : 100,000 digits Scientific Calculator R1.30");
  // WS_OVERLAPPEDWINDOW; the scroll bars (WS_VSCROLL, WS_HSCROLL) are hidden while the
  // client area holds the whole content, but they keep their ranges.
  EXPECT_EQ(static_cast<uint32_t>(GetWindowLongA(hwnd_, GWL_STYLE)) & 0x00CF0000u, 0x00CF0000u);
  EXPECT_EQ(plat_get_scroll(main_window, UI_BAR_VERT).max, SCROLL_RANGE_LINES);
  EXPECT_EQ(plat_get_scroll(main_window, UI_BAR_HORZ).max, SCROLL_RANGE_COLUMNS);

  // Layout units from the captions' font, a TrueType face of the desktop's caption size
  // (the column widened where a caption needs it).
  HDC dc = GetDC(hwnd_);
  HGDIOBJ old = SelectObject(dc, win32_caption_font());
  TEXTMETRICA tm;
  ASSERT_TRUE(GetTextMetricsA(dc, &tm));
  SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
  EXPECT_TRUE(tm.tmPitchAndFamily & TMPF_TRUETYPE);
  const int expect_width = (tm.tmPitchAndFamily & 1) ? tm.tmAveCharWidth * 3 / 2 : tm.tmAveCharWidth;
  EXPECT_GE(char_width, expect_width);
  EXPECT_LE(char_width, expect_width * 2);
  EXPECT_EQ(char_height, tm.tmHeight + tm.tmExternalLeading);

  int windows = 0;
  for (int id = 0; id < CONTROL_COUNT; ++id) {
    const ControlDef &c = ControlTable[id];
    const char *cls = nullptr;
    if (c.kind >= KIND_PUSH && c.kind <= KIND_GROUP) cls = "Button";
    if (c.kind >= KIND_LABEL && c.kind <= KIND_SETTING_LABEL_HEX) cls = "Static";
    if (c.kind == KIND_EDIT) cls = "Edit";
    HWND h = child(id);
    if (!cls) {
      EXPECT_EQ(h, nullptr) << "id " << id;
      continue;
    }
    ++windows;
    ASSERT_NE(h, nullptr) << "id " << id;
    char name[32];
    GetClassNameA(h, name, sizeof name);
    EXPECT_STRCASEEQ(name, cls) << "id " << id;
    uint32_t style = static_cast<uint32_t>(GetWindowLongA(h, GWL_STYLE)) & ~static_cast<uint32_t>(WS_DISABLED);
    // An edit box takes WS_BORDER over (it draws its border itself, or turns it into
    // WS_EX_CLIENTEDGE): the bit is not compared for edit boxes.
    const uint32_t compared = c.kind == KIND_EDIT ? c.style & ~static_cast<uint32_t>(WS_BORDER) : c.style;
    EXPECT_EQ(style & compared, compared) << "id " << id << " style " << std::hex << style;
    // Rectangle: the table's tenths in pixels, relative to the client area.
    RECT rc;
    GetWindowRect(h, &rc);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT *>(&rc), 2);
    const UiRect want = control_rect(c);
    EXPECT_EQ(rc.left, want.left) << "id " << id;
    EXPECT_EQ(rc.top, want.top) << "id " << id;
    EXPECT_EQ(rc.right, want.right) << "id " << id;
    EXPECT_EQ(rc.bottom, want.bottom) << "id " << id;
    EXPECT_EQ(IsWindowEnabled(h) != 0, id != ID_CANCEL) << "id " << id;
    if (c.kind == KIND_EDIT) {
      EXPECT_EQ(SendMessageA(h, EM_GETLIMITTEXT, 0, 0), 109999) << "id " << id;
    }
  }
  EXPECT_EQ(windows, 93);  // every entry but the empty one and the eight painted ones

  // Japanese captions reach the controls whole, whatever the code page.
  EXPECT_EQ(window_text_w(child(1)), L"\u6709\u52B9\u6841\u6570");  // 有効桁数
  EXPECT_EQ(window_text_w(child(8)), L"English");
  EXPECT_EQ(window_text_w(child(64)), L"\uFF45");  // full-width e
  // The defaults of a first start.
  EXPECT_EQ(window_text_a(child(ID_SIG_DIGITS)), "1000");
  EXPECT_EQ(window_text_a(child(ID_R0)), "0");
  EXPECT_EQ(SendMessageA(child(ID_RADIO_DEGREE), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageA(child(ID_RADIO_RADIAN), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

// Every caption of both languages fits its control in the font the control has; each
// language's captions share one font, both of one height; the edit boxes are in a
// monospaced TrueType face.
TEST_F(Win32Window, EveryCaptionFitsItsControlInBothLanguages) {
  open();
  auto font_of = [](HWND h) { return reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0)); };
  LOGFONTA caption_lf{}, japanese_lf{};
  for (int language : {0, 1}) {
    if (language == 1) press(ID_LANGUAGE);
    HFONT shared = nullptr;
    int checked = 0;
    for (int id = 0; id < CONTROL_COUNT; ++id) {
      const ControlDef &c = ControlTable[id];
      if (!c.caption[0]) continue;
      HWND h = child(id);
      ASSERT_NE(h, nullptr) << id;
      HFONT font = font_of(h);
      ASSERT_NE(font, nullptr) << id;
      if (!shared) shared = font;
      EXPECT_EQ(font, shared) << "id " << id << ": one font for the captions of a language";
      const std::wstring text = window_text_w(h);
      HDC dc = GetDC(h);
      HGDIOBJ old = SelectObject(dc, font);
      SIZE size{0, 0};
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
      SelectObject(dc, old);
      ReleaseDC(h, dc);
      RECT rc;
      GetClientRect(h, &rc);
      // What the control draws beside its text.
      int beside = 0;
      if (c.kind == KIND_PUSH) beside = 2 * GetSystemMetrics(SM_CXEDGE) + 2;
      if (c.kind == KIND_CHECK || c.kind == KIND_RADIO) beside = GetSystemMetrics(SM_CXMENUCHECK) + 4;
      if (c.kind == KIND_GROUP) beside = 16;
      EXPECT_LE(size.cx + beside, rc.right) << "id " << id << " language " << language;
      ++checked;
    }
    EXPECT_EQ(checked, 86);
    GetObjectA(shared, sizeof(LOGFONTA), language == 0 ? &japanese_lf : &caption_lf);
  }
  EXPECT_EQ(caption_lf.lfHeight, japanese_lf.lfHeight) << "Japanese and English of one size";
  NONCLIENTMETRICSA ncm{};
  ncm.cbSize = sizeof ncm;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0));
  EXPECT_EQ(caption_lf.lfHeight, ncm.lfMessageFont.lfHeight) << "the desktop's caption size";
  // The register boxes: a monospaced TrueType face of the same height.
  HDC dc = GetDC(child(ID_R0));
  HGDIOBJ old = SelectObject(dc, font_of(child(ID_R0)));
  TEXTMETRICA tm;
  ASSERT_TRUE(GetTextMetricsA(dc, &tm));
  SelectObject(dc, old);
  ReleaseDC(child(ID_R0), dc);
  EXPECT_TRUE(tm.tmPitchAndFamily & TMPF_TRUETYPE);
  EXPECT_FALSE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH) << "set means variable pitch";
}

TEST_F(Win32Window, CommandRunsOnTheWorkerAndTheResultReachesTheBoxes) {
  open();
  SetWindowTextA(child(ID_R1), "2");
  SetWindowTextA(child(ID_R0), "3");
  press(35);  // "+"
  EXPECT_TRUE(command_running() || window_text_a(child(ID_R0)) == "5\r\n");
  ASSERT_TRUE(pump_until([] { return !command_running(); }));
  EXPECT_EQ(window_text_a(child(ID_R0)), "5\r\n");
  // The operands move up: R1, R0 -> R2, R1.
  EXPECT_EQ(window_text_a(child(ID_R1)), "3");
  EXPECT_EQ(window_text_a(child(ID_R2)), "2");
  EXPECT_FALSE(IsWindowEnabled(child(ID_CANCEL)));
  EXPECT_TRUE(IsWindowEnabled(child(ID_PERFORM)));
  for (int id : {ID_R0, ID_R1, ID_R2, ID_R3, ID_R4, ID_SIG_DIGITS}) EXPECT_TRUE(IsWindowEnabled(child(id)));
  EXPECT_EQ(Settings[SET_COMMAND], 35);

  // Options and language: the check box follows its setting, the captions switch.
  press(ID_COMPACT_MEM);
  EXPECT_EQ(Settings[SET_COMPACT_MEM], 1);
  EXPECT_EQ(SendMessageA(child(ID_COMPACT_MEM), BM_GETCHECK, 0, 0), BST_CHECKED);
  press(ID_RADIO_RADIAN);
  EXPECT_EQ(Settings[SET_ANGLE_UNIT], 1);
  EXPECT_EQ(SendMessageA(child(ID_RADIO_DEGREE), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageA(child(ID_RADIO_RADIAN), BM_GETCHECK, 0, 0), BST_CHECKED);
  press(ID_LANGUAGE);
  EXPECT_EQ(window_text_a(child(ID_LANGUAGE)), "Japanese");
  EXPECT_EQ(window_text_a(child(1)), "Significant digits");
  EXPECT_EQ(window_text_a(child(ID_CANCEL)), "Cancel");
}

TEST_F(Win32Window, PlaneDisplayResultIsShownWithBreaksAndReadBackExactly) {
  open();
  press(ID_PLANE_DISP);
  ASSERT_EQ(Settings[SET_PLANE_DISP], 1);
  SetWindowTextA(child(ID_SIG_DIGITS), "20000");
  SetWindowTextA(child(ID_R1), "1");
  SetWindowTextA(child(ID_R0), "7");
  run_command(38);  // "/"
  const std::string slot = TextSlots[SLOT_R0];
  ASSERT_GT(slot.size(), 20000u);
  ASSERT_EQ(slot.compare(0, 8, ".1428571"), 0) << slot.substr(0, 40);
  EXPECT_EQ(longest_run(slot), slot.size() - 2) << "a plane result is one unbroken line";
  // The box holds it in lines; the front end reads it back byte for byte.
  const std::string shown = window_text_a(child(ID_R0));
  EXPECT_GT(shown.size(), slot.size());
  EXPECT_LT(longest_run(shown), 400u);
  read_edit_texts();
  EXPECT_EQ(std::string(TextSlots[SLOT_R0]), slot);
  // Nothing changed, so the workspace file gets the unbroken text.
  close();
  const std::string file = read_bytes(dir_ / "deepNUMS.ini");
  EXPECT_NE(file.find("\r\n" + slot.substr(0, slot.size() - 2) + "\r\a\r\n"), std::string::npos);
}

TEST_F(Win32Window, HundredThousandDigitLineIsFastAndAnEditIsKept) {
  open();
  UiHandle r0 = ControlWindows[ID_R0];
  std::mt19937 rng(7);
  std::string digits;
  for (int i = 0; i < 100000; ++i) digits += static_cast<char>('0' + rng() % 10);
  const std::string text = "." + digits + "\r\n";
  const auto t0 = std::chrono::steady_clock::now();
  plat_set_text(r0, text.c_str());
  plat_update(r0);
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  std::printf("[ info ] 100,001-character plane text set in %.0f ms\n", ms);
  static char buf[TEXT_SLOT_BYTES];
  ASSERT_EQ(plat_get_text(r0, buf, sizeof buf), static_cast<int>(text.size()));
  EXPECT_EQ(std::string(buf), text);

  // The user types a digit after the first 1000 digits: an edit of the box's own text.
  const std::string shown = window_text_a(child(ID_R0));
  size_t at = 0, seen = 0;
  while (seen < 1001) {  // position after the point and 1000 digits, in the shown text
    if (shown[at] != '\r' && shown[at] != '\n') ++seen;
    ++at;
  }
  SendMessageA(child(ID_R0), EM_SETSEL, at, at);
  SendMessageA(child(ID_R0), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("5"));
  plat_get_text(r0, buf, sizeof buf);
  EXPECT_EQ(std::string(buf), "." + digits.substr(0, 1000) + "5" + digits.substr(1000) + "\r\n");

  // A small buffer gets a bounded prefix.
  char small[10];
  EXPECT_EQ(plat_get_text(r0, small, sizeof small), 9);
  EXPECT_EQ(std::string(small), text.substr(0, 9));
}

// Selections in the front end's offsets through the display breaks and the joined lines;
// the caret's moves reach the position field; a comparison selects the differing digit in
// both boxes, with the real engine.
TEST_F(Win32Window, SelectionsCountTheFrontEndsBytesAndACompareMarksBothBoxes) {
  open();
  press(ID_LANGUAGE);  // English captions
  UiHandle r0 = ControlWindows[ID_R0], r1 = ControlWindows[ID_R1];
  // 2,000 digits as the engine shows them: groups of 20, a line break every 200.
  std::mt19937 rng(25);
  std::string grouped = "1.";
  for (int i = 1; i < 2000; ++i) {
    grouped += i % 200 == 0 ? "\r\n" : i % 20 == 0 ? " " : "";
    grouped += static_cast<char>('1' + rng() % 9);
  }
  grouped += "\r\n";
  std::string other = grouped;
  const size_t digit_1234 = [&] {  // offset of digit 1,234
    size_t at = 0;
    for (int seen = 0;; ++at)
      if (other[at] >= '0' && other[at] <= '9' && ++seen == 1234) return at;
  }();
  other[digit_1234] = other[digit_1234] == '5' ? '6' : '5';
  plat_set_text(r0, grouped.c_str());
  plat_set_text(r1, other.c_str());
  ASSERT_NE(window_text_a(child(ID_R0)), grouped);  // shown with other breaks
  for (int at : {0, 3, 222, static_cast<int>(digit_1234), static_cast<int>(grouped.size()) - 3}) {
    plat_set_selection(r0, at, at + 1);
    int s = -1, e = -1;
    ASSERT_TRUE(plat_get_selection(r0, &s, &e));
    EXPECT_EQ(s, at);
    EXPECT_EQ(e, at + 1);
  }
  // The caret in R0: the position field follows.
  plat_set_focus(r0);
  plat_set_selection(r0, static_cast<int>(digit_1234), static_cast<int>(digit_1234));
  pump_until([] { return false; }, 50);
  EXPECT_STREQ(position_field_text(), "R0: digit 1,234 of 2,000");
  // Ctrl+Shift+C: the engine compares at 2,000 digits, both boxes get digit 1,234 selected.
  SetWindowTextA(child(ID_SIG_DIGITS), "2000");
  ui_on_key('C', UI_MOD_CTRL | UI_MOD_SHIFT);
  char want[120];
  std::snprintf(want, sizeof want, "R0 and R1 agree to 1,233 digits; first difference at digit 1,234 (%c / %c)",
                grouped[digit_1234], other[digit_1234]);
  EXPECT_STREQ(TextSlots[SLOT_STATUS], want);
  for (UiHandle box : {r0, r1}) {
    int s = -1, e = -1;
    plat_get_selection(box, &s, &e);
    EXPECT_EQ(s, static_cast<int>(digit_1234));
    EXPECT_EQ(e, static_cast<int>(digit_1234) + 1);
  }
  EXPECT_TRUE(r1->marked);  // shown while R1 has no focus
  // Moving R1's caret ends its mark; the clipboard takes a text.
  SendMessageA(child(ID_R1), EM_SETSEL, 0, 0);
  EXPECT_FALSE(r1->marked);
  EXPECT_TRUE(plat_set_clipboard("0.5"));
}

TEST_F(Win32Window, NonAsciiTextsGoThroughUtf16BothWays) {
  open();
  UiHandle script = ControlWindows[ID_SCRIPT];
  const char *utf8 = "; \xE6\x97\xA5\xE6\x9C\xAC\r\nsqrt 2\r\n";  // "; 日本" and a line
  plat_set_text(script, utf8);
  EXPECT_EQ(window_text_w(child(ID_SCRIPT)), L"; \u65E5\u672C\r\nsqrt 2\r\n");
  char buf[100];
  plat_get_text(script, buf, sizeof buf);
  EXPECT_STREQ(buf, utf8);
  // A bounded read never ends inside a UTF-8 sequence.
  char small[5];  // room for "; " and one byte of the three-byte character
  EXPECT_EQ(plat_get_text(script, small, sizeof small), 2);
  EXPECT_STREQ(small, "; ");
}

TEST_F(Win32Window, PostedCallsRunOnTheMainThreadInOrderAlsoUnderAMessageBox) {
  open();
  static std::vector<intptr_t> ran;
  static DWORD ran_on = 0;
  ran.clear();
  std::thread poster([] {
    for (intptr_t i = 0; i < 100; ++i)
      plat_post_call([](intptr_t v) { ran.push_back(v); ran_on = GetCurrentThreadId(); }, i);
  });
  poster.join();
  ASSERT_TRUE(pump_until([] { return ran.size() == 100; }));
  for (intptr_t i = 0; i < 100; ++i) EXPECT_EQ(ran[static_cast<size_t>(i)], i);
  EXPECT_EQ(ran_on, GetCurrentThreadId());

  // A call posted while a modal message box is open runs inside the box's own loop: here
  // it closes the box, so the box returns.
  static std::atomic<bool> closed_by_call{false};
  closed_by_call = false;
  std::thread later([] {
    Sleep(200);
    plat_post_call([](intptr_t) {
                     HWND box = FindWindowA("#32770", "Parameter");
                     if (box) {
                       closed_by_call = true;
                       PostMessageA(box, WM_COMMAND, IDOK, 0);
                     }
                   },
                   0);
  });
  // A watchdog so that a failure does not hang the run.
  std::thread watchdog([] {
    for (int i = 0; i < 100 && !closed_by_call; ++i) Sleep(100);
    if (HWND box = FindWindowA("#32770", "Parameter")) PostMessageA(box, WM_COMMAND, IDOK, 0);
  });
  plat_message_box(main_window, "Can't change it while execution", "Parameter", UI_MB_OK);
  later.join();
  watchdog.join();
  EXPECT_TRUE(closed_by_call);
}

TEST_F(Win32Window, ScrollBarsClampAndScrollTheChildren) {
  open();
  // Scrolling moves the children of a visible window only.
  ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  // A window smaller than the least content: the size handling sets the pages.
  plat_move_window(main_window, 0, 0, 500, 250);
  RECT client;
  GetClientRect(hwnd_, &client);
  const int rows = client.bottom / char_height;
  constexpr int LINES = SCROLL_RANGE_LINES, COLUMNS = SCROLL_RANGE_COLUMNS;
  ASSERT_LT(rows, LINES - 4);
  UiScrollInfo info = plat_get_scroll(main_window, UI_BAR_VERT);
  EXPECT_EQ(info.min, 0);
  EXPECT_EQ(info.max, LINES);
  EXPECT_EQ(info.page, rows);
  EXPECT_EQ(plat_get_scroll(main_window, UI_BAR_HORZ).max, COLUMNS);
  plat_set_scroll_pos(main_window, UI_BAR_VERT, 100);
  EXPECT_EQ(plat_get_scroll(main_window, UI_BAR_VERT).pos, LINES - rows + 1);  // max - page + 1
  plat_set_scroll_pos(main_window, UI_BAR_VERT, 0);

  RECT before, after;
  GetWindowRect(child(ID_R0), &before);
  SendMessageA(hwnd_, WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
  GetWindowRect(child(ID_R0), &after);
  EXPECT_EQ(scroll_y, -1);
  EXPECT_EQ(after.top, before.top - char_height);
  SendMessageA(hwnd_, WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0), 0);
  EXPECT_EQ(scroll_y, -(LINES - rows + 1));
  const int columns_page = plat_get_scroll(main_window, UI_BAR_HORZ).page;
  EXPECT_GT(columns_page, 0);
  SendMessageA(hwnd_, WM_HSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
  EXPECT_EQ(scroll_x, -std::min(columns_page, COLUMNS - columns_page + 1));  // limited to max - page + 1
  // The wheel: three lines a notch, Shift for the horizontal bar; a horizontal wheel.
  SendMessageA(hwnd_, WM_VSCROLL, MAKEWPARAM(SB_TOP, 0), 0);
  SendMessageA(hwnd_, WM_HSCROLL, MAKEWPARAM(SB_TOP, 0), 0);
  SendMessageA(hwnd_, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(scroll_y, -3);
  SendMessageA(hwnd_, WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(scroll_x, -3);
  SendMessageA(hwnd_, WM_MOUSEHWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(scroll_x, 0);
  const UiRect work = plat_work_area(main_window);
  EXPECT_GT(work.right - work.left, 0);
  // Growing the window scrolls back so that no space shows below the content, and the
  // children stand where the layout puts them for the new size.
  plat_move_window(main_window, 0, 0, default_window_size(main_window).width, default_window_size(main_window).height);
  EXPECT_EQ(scroll_y, 0);
  EXPECT_EQ(scroll_x, 0);
  GetWindowRect(child(ID_R0), &after);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT *>(&after), 2);
  const UiRect want = control_rect(ControlTable[ID_R0]);
  EXPECT_EQ(after.top, want.top);
  EXPECT_EQ(after.right, want.right);
}

TEST_F(Win32Window, StartUpFailureShowsTheMessageAndReturnsZero) {
  // The class is taken already: registration fails as on a system without resources.
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = win32_instance;
  wc.lpszClassName = WINDOW_CLASS_NAME;
  ASSERT_TRUE(RegisterClassA(&wc));
  static std::string box_text;
  box_text.clear();
  std::thread reader([] {
    for (int i = 0; i < 100; ++i) {
      if (HWND box = FindWindowA("#32770", "deepNUMS")) {
        char text[100] = "";
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the message's static text
        box_text = text;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return;
      }
      Sleep(100);
    }
  });
  EXPECT_EQ(app_entry(SW_HIDE), 0);
  reader.join();
  UnregisterClassA(WINDOW_CLASS_NAME, win32_instance);
  EXPECT_EQ(box_text, "Few resource or Wrong coding");
  EXPECT_EQ(FindWindowA(WINDOW_CLASS_NAME, nullptr), nullptr);
}

TEST_F(Win32Window, WorkspaceFileHasCrLfLinesAndComesBackWhole) {
  open();
  SetWindowTextA(child(ID_R1), "12\r\n34");  // a multi-line register text
  SetWindowTextA(child(ID_R0), "-5.5");
  SetWindowTextA(child(ID_SCRIPT), "sqrt 2\r\nexp 1\r\n");
  press(ID_LANGUAGE);
  press(ID_BARE_DIGITS);
  close();
  const std::string file = read_bytes(dir_ / "deepNUMS.ini");
  bool all_crlf = false;
  const std::vector<std::string> lines = split_crlf_lines(file, &all_crlf);
  EXPECT_TRUE(all_crlf);
  ASSERT_EQ(lines.size(), 42u);
  EXPECT_EQ(lines[0], "20");
  EXPECT_EQ(lines[1], "1");   // English
  EXPECT_EQ(lines[16], "1");  // Bare digits
  EXPECT_EQ(lines[21], "20");
  EXPECT_EQ(lines[22], "-5.5");
  EXPECT_EQ(lines[23], "12\r\a34");
  EXPECT_EQ(lines[22 + SLOT_SCRIPT], "sqrt 2\r\aexp 1\r\a");
  EXPECT_EQ(lines[22 + SLOT_SIG_DIGITS], "1000");
  // The saved rectangle is the window's.
  const int width = std::stoi(lines[4]) - std::stoi(lines[2]);
  EXPECT_EQ(width, default_window_size(main_window).width);

  open();
  EXPECT_EQ(window_text_a(child(ID_R1)), "12\r\n34");
  EXPECT_EQ(window_text_a(child(ID_R0)), "-5.5");
  EXPECT_EQ(window_text_a(child(ID_SCRIPT)), "sqrt 2\r\nexp 1\r\n");
  EXPECT_EQ(window_text_a(child(ID_LANGUAGE)), "Japanese");
  EXPECT_EQ(SendMessageA(child(ID_BARE_DIGITS), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(Win32Window, FilesWithLfLineEndsAndLongMemoryTextsLoad) {
  // Line ends LF only, as an editor on Linux may leave them; a register text with CR BEL
  // breaks; R5 longer than its 50-character display copy.
  std::string file = "20\n1\n10\n20\n1310\n820\n";
  for (int i = 5; i < 20; ++i) file += i == 11 ? "1\n" : "0\n";
  file += "20\n";
  const std::string r5(3000, '8');
  for (int i = 0; i < 20; ++i) {
    if (i == SLOT_R0) file += "1\r\a2\n";
    else if (i == SLOT_R5) file += r5 + "\n";
    else if (i == SLOT_SIG_DIGITS) file += "300\n";
    else file += "\n";
  }
  write_bytes(dir_ / "deepNUMS.ini", file);
  open();
  EXPECT_EQ(window_text_a(child(ID_R0)), "1\r\n2");
  EXPECT_EQ(window_text_a(child(ID_SIG_DIGITS)), "300");
  EXPECT_EQ(window_text_a(child(ID_LANGUAGE)), "Japanese");  // English captions
  EXPECT_EQ(SendMessageA(child(ID_RADIO_RADIAN), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(std::string(TextSlots[SLOT_R5]), r5.substr(0, 50));
  EXPECT_EQ(std::string(MemoryTexts[0]), r5);
  RECT rc;
  GetWindowRect(hwnd_, &rc);
  EXPECT_EQ(rc.right - rc.left, 1300);
  EXPECT_EQ(rc.bottom - rc.top, 800);
  close();
  // Written back whole, with CR LF.
  const std::string saved = read_bytes(dir_ / "deepNUMS.ini");
  EXPECT_NE(saved.find("\r\n" + r5 + "\r\n"), std::string::npos);
  EXPECT_NE(saved.find("\r\n1\r\a2\r\n"), std::string::npos);
}

// Without --workspace: beside the program, whose folder (the build's) is writable; a file
// in the current folder, where older versions kept it, is read once and left there.
TEST_F(Win32Window, DefaultWorkspaceIsBesideTheProgram) {
  char exe[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, exe, sizeof exe);
  ASSERT_GT(n, 0u);
  const fs::path beside = fs::path(std::string(exe, n)).parent_path() / "deepNUMS.ini";
  std::error_code ec;
  fs::remove(beside, ec);
  set_workspace_file(nullptr);
  write_bytes(dir_ / "deepNUMS.ini", "1\r\n1\r\n0\r\n");  // English captions
  open();
  EXPECT_EQ(fs::path(workspace_path), beside);
  EXPECT_EQ(window_text_a(child(ID_LANGUAGE)), "Japanese");
  EXPECT_EQ(std::string(TextSlots[SLOT_STATUS]).rfind("deepNUMS.ini of the current folder read", 0), 0u)
      << TextSlots[SLOT_STATUS];
  SetWindowTextA(child(ID_R0), "31");
  close();
  bool all_crlf = false;
  const std::vector<std::string> lines = split_crlf_lines(read_bytes(beside), &all_crlf);
  fs::remove(beside, ec);
  ASSERT_EQ(lines.size(), 42u);
  EXPECT_EQ(lines[1], "1");
  EXPECT_EQ(lines[22], "31");
  EXPECT_EQ(read_bytes(dir_ / "deepNUMS.ini"), "1\r\n1\r\n0\r\n");
}

TEST_F(Win32Window, WorkspaceIsSavedInADirectoryWithANonAsciiName) {
  // The workspace path is a byte string of the ANSI code page (GetFullPathNameA); a user
  // folder such as "Jos\u00e9" must work as well as a plain one.
  const fs::path odd = dir_ / L"Jos\u00e9 \u00c5";
  fs::create_directories(odd);
  fs::current_path(odd);
  char ansi[8];
  BOOL lossy = FALSE;
  WideCharToMultiByte(CP_ACP, 0, L"\u00e9\u00c5", 2, ansi, sizeof ansi, nullptr, &lossy);
  if (lossy) GTEST_SKIP() << "the ANSI code page has no \u00e9 and \u00c5";
  open();
  SetWindowTextA(child(ID_R0), "42");
  close();
  EXPECT_EQ(read_bytes(odd / "deepNUMS.ini").substr(0, 4), "20\r\n");
  open();
  EXPECT_EQ(window_text_a(child(ID_R0)), "42");
}

TEST_F(Win32Window, CancelStopsALongRunAndOtherPressesAreRefused) {
  open();
  if (Settings[SET_EXACT_DIGITS] != 0) press(ID_EXACT_DIGITS);  // the defined algorithms take seconds
  SetWindowTextA(child(ID_SIG_DIGITS), "100000");
  SetWindowTextA(child(ID_R0), "1.5");
  press(53);  // "exp" at 100,000 digits: seconds of work
  ASSERT_TRUE(command_running());
  EXPECT_TRUE(IsWindowEnabled(child(ID_CANCEL)));
  EXPECT_FALSE(IsWindowEnabled(child(ID_PERFORM)));
  for (int id : {ID_R0, ID_R1, ID_R2, ID_R3, ID_R4, ID_SIG_DIGITS}) EXPECT_FALSE(IsWindowEnabled(child(id)));
  pump_until([] { return false; }, 300);
  ASSERT_TRUE(command_running()) << "the command ended too soon to be cancelled";

  // Another press shows the refusal in the current language (Japanese) and changes
  // nothing; a second program's view of the box reads its UTF-16 text.
  static std::wstring refusal;
  refusal.clear();
  std::thread reader([] {
    for (int i = 0; i < 100; ++i) {
      if (HWND box = FindWindowA("#32770", "Parameter")) {
        wchar_t text[100] = L"";
        GetDlgItemTextW(box, 0xFFFF, text, 100);
        refusal = text;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return;
      }
      Sleep(50);
    }
  });
  press(ID_COMPACT_MEM);
  reader.join();
  EXPECT_EQ(refusal, L"\u5B9F\u884C\u4E2D\u306F\u5909\u66F4\u51FA\u6765\u307E\u305B\u3093");
  EXPECT_EQ(Settings[SET_COMPACT_MEM], 0);
  EXPECT_EQ(SendMessageA(child(ID_COMPACT_MEM), BM_GETCHECK, 0, 0), BST_UNCHECKED);

  const auto t0 = std::chrono::steady_clock::now();
  press(ID_CANCEL);
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  std::printf("[ info ] Cancel at 100,000 digits returned to idle in %.1f ms\n", ms);
  EXPECT_FALSE(command_running());
  EXPECT_STREQ(TextSlots[SLOT_STATUS], "aborted\n");
  EXPECT_FALSE(IsWindowEnabled(child(ID_CANCEL)));
  EXPECT_TRUE(IsWindowEnabled(child(ID_PERFORM)));
  EXPECT_TRUE(IsWindowEnabled(child(ID_R0)));
  // The next command works from the texts shown.
  SetWindowTextA(child(ID_SIG_DIGITS), "30");
  SetWindowTextA(child(ID_R1), "1");
  SetWindowTextA(child(ID_R0), "4");
  run_command(38);  // "/"
  EXPECT_EQ(window_text_a(child(ID_R0)), ".25\r\n");
}

TEST_F(Win32Window, ClosingDuringARunStopsTheWorkerAndSavesTheBoxes) {
  open();
  if (Settings[SET_EXACT_DIGITS] != 0) press(ID_EXACT_DIGITS);  // a run long enough to be stopped
  SetWindowTextA(child(ID_SIG_DIGITS), "100000");
  SetWindowTextA(child(ID_R0), "1.5");
  press(53);
  ASSERT_TRUE(command_running());
  pump_until([] { return false; }, 200);
  close();
  EXPECT_FALSE(command_running());
  bool all_crlf = false;
  const std::vector<std::string> lines = split_crlf_lines(read_bytes(dir_ / "deepNUMS.ini"), &all_crlf);
  ASSERT_EQ(lines.size(), 42u);
  EXPECT_EQ(lines[22], "1.5");  // the box as it stood, not a half-done result
  EXPECT_EQ(lines[22 + SLOT_SIG_DIGITS], "100000");
}

// The keyboard's side of the boxes: no tab typed anywhere, no line break in a register
// box (the script box takes it), one step of typing to undo and redo, and the keys
// through the message loop's translation (Ctrl from the thread's keyboard state).
TEST_F(Win32Window, BoxesDropTabsAndLineBreaksAndKeysGoThroughTheLoop) {
  open();
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  auto type = [](HWND box, const wchar_t *chars) {
    for (const wchar_t *c = chars; *c; ++c) SendMessageW(box, WM_CHAR, *c, 1);
  };
  SetWindowTextA(child(ID_R0), "");
  type(child(ID_R0), L"1\t2\r\n3");
  EXPECT_EQ(window_text_a(child(ID_R0)), "123");
  SetWindowTextA(child(ID_SCRIPT), "");
  type(child(ID_SCRIPT), L"a\tb\rc");
  EXPECT_EQ(window_text_a(child(ID_SCRIPT)), "ab\r\nc");

  UiHandle r0 = ControlWindows[ID_R0];
  plat_set_text(r0, "5");
  EXPECT_FALSE(plat_edit_undo(r0, false));  // nothing typed since the text was set
  type(child(ID_R0), L"7");
  EXPECT_FALSE(plat_edit_undo(r0, true));
  EXPECT_TRUE(plat_edit_undo(r0, false));
  EXPECT_EQ(window_text_a(child(ID_R0)), "5");
  EXPECT_FALSE(plat_edit_undo(r0, false));  // the window's undo comes next
  EXPECT_TRUE(plat_edit_undo(r0, true));
  EXPECT_EQ(window_text_a(child(ID_R0)), "75");

  // Focus: a box gets its whole text selected; the window can keep the keyboard alone.
  plat_set_focus(r0);
  EXPECT_EQ(plat_focused_id(main_window), ID_R0);
  DWORD from = 0, to = 0;
  SendMessageA(child(ID_R0), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, 2u);
  plat_set_focus(main_window);
  EXPECT_EQ(plat_focused_id(main_window), -1);
  plat_set_focus(r0);

  // Keys as the message loop sees them: Tab moves the focus, Ctrl+S runs "sin", Ctrl+Z
  // takes it back; with Ctrl and Alt held together (AltGr) nothing is taken.
  auto key = [this](WPARAM vk, bool ctrl, bool alt = false) {
    BYTE state[256] = {};
    if (ctrl) state[VK_CONTROL] = 0x80;
    if (alt) state[VK_MENU] = 0x80;
    SetKeyboardState(state);
    MSG msg{GetFocus(), static_cast<UINT>(alt ? WM_SYSKEYDOWN : WM_KEYDOWN), vk, 1, 0, {0, 0}};
    const bool used = win32_translate_key(&msg);
    BYTE none[256] = {};
    SetKeyboardState(none);
    return used;
  };
  SetWindowTextA(child(ID_R0), "30");
  EXPECT_TRUE(key(VK_TAB, false));
  EXPECT_EQ(plat_focused_id(main_window), ID_RADIO_DEGREE);
  plat_set_focus(r0);
  EXPECT_FALSE(key('7', false));  // a plain character types
  EXPECT_FALSE(key('S', true, true));
  EXPECT_TRUE(key('S', true));
  ASSERT_TRUE(pump_until([] { return !command_running(); }));
  EXPECT_EQ(window_text_a(child(ID_R1)), "30");  // lifted; R0 holds sin 30°
  EXPECT_EQ(plat_focused_id(main_window), ID_R0);
  EXPECT_TRUE(key('Z', true));
  EXPECT_EQ(window_text_a(child(ID_R0)), "30");
  EXPECT_EQ(window_text_a(child(ID_R1)), "0");
}

// What the calls that drive the list's dialog saw.
struct ListSeen {
  bool found = false, field_has_focus = false, ui_font = false, ok_enabled_empty = true, still_open = false;
  int rows_at_start = 0, rows_filtered = 0, after_down = -1, after_up = -1;
  std::wstring heading, first, second;
};
ListSeen list_seen;
std::atomic<bool> list_done{false};

HWND list_dialog() { return FindWindowW(L"#32770", L"\u95A2\u6570\u3068\u5B9A\u6570"); }  // 関数と定数

std::wstring list_item_text(HWND list, int item, int col) {
  wchar_t buf[200] = L"";
  LVITEMW it{};
  it.iSubItem = col;
  it.pszText = buf;
  it.cchTextMax = 200;
  SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it));
  return buf;
}

// The list of functions in its dialog, driven from posted calls inside the dialog's own
// loop: it opens with the field keeping the keyboard and every row listed in the window's
// font; typing filters the list view, Down and Up move the selection, Return (through the
// dialog manager) runs the row on the worker and R0 holds what the engine gives for its
// code; with no row left Return does nothing and Escape closes it; the context menu of a
// grid button offers it.
TEST_F(Win32Window, FunctionListFiltersRunsTheRowAndMatchesTheEngine) {
  open();
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  SetWindowTextA(child(ID_SIG_DIGITS), "50");
  SetWindowTextA(child(ID_R1), "10");
  SetWindowTextA(child(ID_R0), "0.5");
  plat_set_focus(ControlWindows[ID_R0]);

  list_seen = ListSeen{};
  list_done = false;
  // A watchdog, so that a failure does not hang the run: it closes a menu and the dialog.
  std::thread watchdog([] {
    for (int i = 0; i < 300 && !list_done; ++i) Sleep(100);
    if (list_done) return;
    PostMessageW(GetDlgItem(win32_main()->hwnd, 50), WM_KEYDOWN, VK_ESCAPE, 1);
    Sleep(200);
    if (HWND d = list_dialog()) PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
  });

  // 1. "gam", Down, Up, Return: gamma of R0 = 0.5.
  plat_post_call([](intptr_t) {
                   BYTE released[256] = {};  // Ctrl of Ctrl+K
                   SetKeyboardState(released);
                   HWND d = list_dialog();
                   if (!d) return;
                   list_seen.found = true;
                   HWND field = GetDlgItem(d, 101), list = GetDlgItem(d, 102);
                   list_seen.field_has_focus = GetFocus() == field;
                   list_seen.ui_font = reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)) ==
                                  win32_ui_font(win32_main()->hwnd);
                   list_seen.rows_at_start = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
                   wchar_t heading[40] = L"";
                   HDITEMW hd{};
                   hd.mask = HDI_TEXT;
                   hd.pszText = heading;
                   hd.cchTextMax = 40;
                   SendMessageW(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), HDM_GETITEMW, 0,
                                reinterpret_cast<LPARAM>(&hd));
                   list_seen.heading = heading;
                   for (wchar_t c : std::wstring(L"gam")) SendMessageW(field, WM_CHAR, c, 1);
                   list_seen.rows_filtered = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
                   list_seen.first = list_item_text(list, 0, 0);
                   list_seen.second = list_item_text(list, 1, 2);
                   SendMessageW(field, WM_KEYDOWN, VK_DOWN, 1);
                   list_seen.after_down = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
                   SendMessageW(field, WM_KEYDOWN, VK_UP, 1);
                   list_seen.after_up = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
                   PostMessageW(field, WM_KEYDOWN, VK_RETURN, 1);
                 },
                 0);
  // Ctrl+K through the message loop's translation.
  BYTE ctrl[256] = {}, none[256] = {};
  ctrl[VK_CONTROL] = 0x80;
  SetKeyboardState(ctrl);
  MSG key{child(ID_R0), WM_KEYDOWN, 'K', 1, 0, {0, 0}};
  const bool used = win32_translate_key(&key);
  SetKeyboardState(none);
  ASSERT_TRUE(used);
  EXPECT_TRUE(list_seen.found);
  EXPECT_TRUE(list_seen.field_has_focus);
  EXPECT_TRUE(list_seen.ui_font);
  EXPECT_EQ(list_seen.rows_at_start, 20);
  EXPECT_EQ(list_seen.heading, L"\u540D\u524D");  // 名前
  EXPECT_EQ(list_seen.rows_filtered, 2);
  EXPECT_EQ(list_seen.first, L"gamma");
  EXPECT_EQ(list_seen.second, L"Ctrl+K, lg");  // lngamma's key
  EXPECT_EQ(list_seen.after_down, 1);
  EXPECT_EQ(list_seen.after_up, 0);
  ASSERT_TRUE(pump_until([] { return !command_running(); }));
  const std::string r0 = window_text_a(child(ID_R0));
  EXPECT_EQ(r0.substr(0, 13), "1. 7724538509");  // √π
  EXPECT_EQ(window_text_a(child(ID_R1)), "0.5");
  EXPECT_EQ(window_text_a(child(ID_R2)), "10");
  EXPECT_EQ(plat_focused_id(main_window), ID_R0);
  // The engine's own run of code 210 on the same texts.
  static char got[TEXT_SLOT_BYTES];
  plat_get_text(ControlWindows[ID_R0], got, sizeof got);
  slot_copy(TextSlots[SLOT_R1], "10");
  slot_copy(TextSlots[SLOT_R0], "0.5");
  slot_copy(TextSlots[SLOT_R2], "0");
  mark_shadows_stale();
  Settings[SET_COMMAND] = 210;
  ASSERT_EQ(execute_command(), 0);
  EXPECT_STREQ(got, TextSlots[SLOT_R0]);

  // 2. From the grid's context menu (Down, Return on its one item, from another thread:
  // a menu's loop runs no posted calls): the list opens with the last filter; "zz" leaves
  // no row, Return does nothing, Escape closes it.
  const std::string r0_before = window_text_a(child(ID_R0));
  list_seen = ListSeen{};
  std::thread driver([] {
    HWND menu = nullptr, d = nullptr;
    for (int i = 0; i < 200 && !(menu = FindWindowW(L"#32768", nullptr)); ++i) Sleep(20);
    list_seen.found = menu != nullptr;
    HWND button = GetDlgItem(win32_main()->hwnd, 50);
    PostMessageW(button, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageW(button, WM_KEYDOWN, VK_RETURN, 1);
    for (int i = 0; i < 200 && !(d = list_dialog()); ++i) Sleep(20);
    if (!d) return;
    HWND field = GetDlgItem(d, 101), list = GetDlgItem(d, 102);
    list_seen.rows_at_start = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    SetWindowTextW(field, L"zz");
    list_seen.rows_filtered = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    list_seen.ok_enabled_empty = IsWindowEnabled(GetDlgItem(d, IDOK)) != 0;
    PostMessageW(field, WM_KEYDOWN, VK_RETURN, 1);
    Sleep(200);
    list_seen.still_open = list_dialog() != nullptr;  // after Return
    PostMessageW(field, WM_KEYDOWN, VK_ESCAPE, 1);
  });
  RECT b;
  GetWindowRect(child(50), &b);
  SendMessageW(child(50), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(child(50)), MAKELPARAM(b.left + 3, b.top + 3));
  driver.join();
  EXPECT_TRUE(list_seen.found) << "no menu";
  EXPECT_EQ(list_seen.rows_at_start, 2);  // "gam" again
  EXPECT_EQ(list_seen.rows_filtered, 0);
  EXPECT_FALSE(list_seen.ok_enabled_empty);
  EXPECT_TRUE(list_seen.still_open) << "closed by Return with no row";
  EXPECT_EQ(list_dialog(), nullptr);
  EXPECT_FALSE(command_running());
  EXPECT_EQ(window_text_a(child(ID_R0)), r0_before);
  list_done = true;
  watchdog.join();
}

// Undo after ACLR at 100,000 digits puts the five texts back into the boxes whole (display
// breaks included); the time it takes is printed.
TEST_F(Win32Window, UndoAfterAclrAtHundredThousandDigits) {
  open();
  std::mt19937 rng(7);
  std::string texts[5];
  const int boxes[5] = {ID_R0, ID_R1, ID_R2, ID_R3, ID_R4};
  for (int n = 0; n < 5; ++n) {
    texts[n] = "1.";
    for (int i = 1; i < 100000; ++i) {
      if (i % 200 == 0) texts[n] += "\r\n";
      else if (i % 20 == 0) texts[n] += ' ';
      texts[n] += static_cast<char>('0' + rng() % 10);
    }
    texts[n] += "\r\n";
    plat_set_text(ControlWindows[boxes[n]], texts[n].c_str());
  }
  SetWindowTextA(child(ID_SIG_DIGITS), "100000");
  run_command(68);  // ACLR
  EXPECT_EQ(window_text_a(child(ID_R4)), "0");
  const auto t0 = std::chrono::steady_clock::now();
  ASSERT_TRUE(undo_step(main_window, false));
  for (int id : boxes) UpdateWindow(child(id));
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  std::printf("[ info ] undo after ACLR of five 100,000-digit registers in %.0f ms\n", ms);
  static char buf[TEXT_SLOT_BYTES];
  for (int n = 0; n < 5; ++n) {
    plat_get_text(ControlWindows[boxes[n]], buf, sizeof buf);
    EXPECT_EQ(std::string(buf), texts[n]) << "R" << n;
  }
  // For comparison: the edit boxes alone taking the five texts, as after any command that
  // shows five such results.
  for (int id : boxes) plat_set_text(ControlWindows[id], "0");
  const auto t1 = std::chrono::steady_clock::now();
  for (int n = 0; n < 5; ++n) plat_set_text(ControlWindows[boxes[n]], texts[n].c_str());
  for (int id : boxes) UpdateWindow(child(id));
  const double boxes_ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t1).count();
  std::printf("[ info ] the five texts set into the boxes alone: %.0f ms\n", boxes_ms);
}

}  // namespace

// Win32 backend: the list chooser (plat_choose_row). A modal dialog built in memory: the
// label, a one-line filter field, a report-style list view of three columns and two
// buttons, "Run" the default. At every change of the field (EN_CHANGE) the front end names
// the rows to show (ui_on_list_filter); the first of them is selected. The field keeps the
// keyboard: its subclass sends Up, Down, Page Up and Page Down to the list's selection;
// Return is the default button, Escape the dialog manager's IDCANCEL; a double click on a
// row takes it.
//
// Every text is UTF-16 and every control has the window's font for texts that are not
// plain ASCII (win32_ui_font: a face with the Japanese characters, the Greek letters and
// the signs of the descriptions); the controls are laid out in pixels from that font's
// measures once the dialog exists.
#include "ui/win32/win32_backend.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/win32/win32_dialog_template.h"

namespace {

constexpr int LIST_LABEL = 100, LIST_FIELD = 101, LIST_VIEW = 102;

struct Chooser {
  const UiListChooser *c = nullptr;
  HFONT font = nullptr;
  int chosen = -1;
  std::wstring filter;
  WNDPROC field_proc = nullptr;
};

std::wstring text_of(HWND h) {
  const int n = GetWindowTextLengthW(h);
  std::wstring w(static_cast<size_t>(std::max(n, 0)) + 1, L'\0');
  const int got = GetWindowTextW(h, w.data(), n + 1);
  w.resize(static_cast<size_t>(std::max(got, 0)));
  return w;
}

int selected_item(HWND list) {
  return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void select_item(HWND list, int item) {
  const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  if (count <= 0) return;
  item = std::clamp(item, 0, count - 1);
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
  SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE);
}

void add_row(HWND list, const UiListChooser &c, int row) {
  const int at = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  std::wstring cell = win32_widen(c.cells[3 * row]);
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = at;
  item.pszText = cell.data();
  item.lParam = row;
  const int index = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  for (int col = 1; col < 3; ++col) {
    cell = win32_widen(c.cells[3 * row + col]);
    LVITEMW sub{};
    sub.iSubItem = col;
    sub.pszText = cell.data();
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&sub));
  }
}

// The rows of the field's text, the first selected; "Run" only while there is one.
void refilter(HWND dlg, Chooser *ch) {
  const UiListChooser &c = *ch->c;
  HWND list = GetDlgItem(dlg, LIST_VIEW);
  const std::wstring filter = text_of(GetDlgItem(dlg, LIST_FIELD));
  const std::string utf8 = win32_narrow(filter.data(), static_cast<int>(filter.size()));
  std::vector<int> shown(static_cast<size_t>(std::max(c.rows, 1)));
  const int n = std::clamp(ui_on_list_filter(utf8.c_str(), shown.data()), 0, c.rows);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  for (int k = 0; k < n; ++k) {
    const int row = shown[static_cast<size_t>(k)];
    if (row >= 0 && row < c.rows) add_row(list, c, row);
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  select_item(list, 0);
  EnableWindow(GetDlgItem(dlg, IDOK), SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) > 0);
}

// The field's keys that move in the list.
LRESULT CALLBACK field_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  HWND dlg = GetParent(hwnd);
  auto *ch = reinterpret_cast<Chooser *>(GetWindowLongPtrW(dlg, DWLP_USER));
  if (msg == WM_KEYDOWN && (wparam == VK_UP || wparam == VK_DOWN || wparam == VK_PRIOR || wparam == VK_NEXT)) {
    HWND list = GetDlgItem(dlg, LIST_VIEW);
    const int page = std::max(1, static_cast<int>(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0)) - 1);
    const int step = wparam == VK_UP ? -1 : wparam == VK_DOWN ? 1 : wparam == VK_PRIOR ? -page : page;
    select_item(list, std::max(selected_item(list), 0) + step);
    return 0;
  }
  return CallWindowProcW(ch->field_proc, hwnd, msg, wparam, lparam);
}

int text_width(HDC dc, const std::wstring &s) {
  SIZE size{0, 0};
  GetTextExtentPoint32W(dc, s.c_str(), static_cast<int>(s.size()), &size);
  return size.cx;
}

// Places the controls in pixels from the font: the list wide enough for its columns (80 to
// 140 characters) and tall enough for every row (up to 24); the label above, wrapped.
void lay_out(HWND dlg, Chooser *ch) {
  const UiListChooser &c = *ch->c;
  HWND list = GetDlgItem(dlg, LIST_VIEW);
  HDC dc = GetDC(dlg);
  HGDIOBJ old = SelectObject(dc, ch->font);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  const int cw = std::max<int>(tm.tmAveCharWidth, 1), line = tm.tmHeight + tm.tmExternalLeading;
  int widths[3];
  for (int col = 0; col < 3; ++col) {
    widths[col] = text_width(dc, win32_widen(c.headings[col]));
    for (int r = 0; r < c.rows; ++r) widths[col] = std::max(widths[col], text_width(dc, win32_widen(c.cells[3 * r + col])));
    widths[col] += 3 * cw;
  }
  const int list_width = std::clamp(widths[0] + widths[1] + widths[2] + 2 * GetSystemMetrics(SM_CXEDGE) +
                                        GetSystemMetrics(SM_CXVSCROLL) + 2,
                                    80 * cw, 140 * cw);
  const int margin = std::max(cw, 8);
  RECT label_rect{0, 0, list_width, 0};
  const std::wstring label = win32_widen(c.label);
  DrawTextW(dc, label.c_str(), -1, &label_rect, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  int button_width = 0;
  for (const char *b : {c.ok, c.cancel}) button_width = std::max(button_width, text_width(dc, win32_widen(b)));
  button_width += 4 * cw;
  SelectObject(dc, old);
  ReleaseDC(dlg, dc);

  // The description takes what the name and the key leave of the list's inside, room for
  // a vertical scroll bar kept, so that no horizontal one is ever needed.
  const int inside = list_width - 2 * GetSystemMetrics(SM_CXEDGE) - GetSystemMetrics(SM_CXVSCROLL) - 2;
  SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, widths[0]);
  SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, std::max(inside - widths[0] - widths[2], 4 * cw));
  SendMessageW(list, LVM_SETCOLUMNWIDTH, 2, widths[2]);
  // Rows and header as the list view draws them in this font.
  RECT item{LVIR_BOUNDS, 0, 0, 0};
  int row_height = line + 4;
  if (SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) > 0 && SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item)))
    row_height = std::max<int>(item.bottom - item.top, line);
  int header_height = line + 8;
  if (HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0))) {
    RECT hr;
    if (GetWindowRect(header, &hr) && hr.bottom > hr.top) header_height = hr.bottom - hr.top;
  }
  const int list_height = header_height + std::min(std::max(c.rows, 1), 24) * row_height + 2 * GetSystemMetrics(SM_CYEDGE) + 4;
  const int field_height = line + 8, button_height = line + 10;

  int y = margin;
  MoveWindow(GetDlgItem(dlg, LIST_LABEL), margin, y, list_width, label_rect.bottom, FALSE);
  y += label_rect.bottom + margin / 2;
  MoveWindow(GetDlgItem(dlg, LIST_FIELD), margin, y, list_width, field_height, FALSE);
  y += field_height + margin / 2;
  MoveWindow(list, margin, y, list_width, list_height, FALSE);
  y += list_height + margin;
  MoveWindow(GetDlgItem(dlg, IDCANCEL), margin + list_width - button_width, y, button_width, button_height, FALSE);
  MoveWindow(GetDlgItem(dlg, IDOK), margin + list_width - 2 * button_width - margin, y, button_width, button_height,
             FALSE);
  y += button_height + margin;

  // The dialog's outer size for that client area, centred over its owner (on the screen's
  // work area when it has none).
  RECT outer{0, 0, list_width + 2 * margin, y};
  AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongW(dlg, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(dlg, GWL_EXSTYLE)));
  const int w = outer.right - outer.left, h = outer.bottom - outer.top;
  RECT around{};
  HWND owner = GetWindow(dlg, GW_OWNER);
  if (!owner || !GetWindowRect(owner, &around)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
  SetWindowPos(dlg, nullptr, around.left + (around.right - around.left - w) / 2,
               std::max<LONG>(around.top, around.top + (around.bottom - around.top - h) / 2), w, h,
               SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(dlg, nullptr, TRUE);
}

INT_PTR CALLBACK chooser_proc(HWND dlg, UINT msg, WPARAM wparam, LPARAM lparam) {
  auto *ch = reinterpret_cast<Chooser *>(GetWindowLongPtrW(dlg, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG: {
      ch = reinterpret_cast<Chooser *>(lparam);
      SetWindowLongPtrW(dlg, DWLP_USER, lparam);
      const UiListChooser &c = *ch->c;
      SetWindowTextW(dlg, win32_widen(c.title).c_str());
      for (int id : {LIST_LABEL, LIST_FIELD, LIST_VIEW, IDOK, IDCANCEL})
        SendMessageW(GetDlgItem(dlg, id), WM_SETFONT, reinterpret_cast<WPARAM>(ch->font), FALSE);
      SetDlgItemTextW(dlg, LIST_LABEL, win32_widen(c.label).c_str());
      SetDlgItemTextW(dlg, IDOK, win32_widen(c.ok).c_str());
      SetDlgItemTextW(dlg, IDCANCEL, win32_widen(c.cancel).c_str());
      HWND list = GetDlgItem(dlg, LIST_VIEW);
      SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
      for (int col = 0; col < 3; ++col) {
        std::wstring heading = win32_widen(c.headings[col]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = heading.data();
        column.cx = 100;
        column.iSubItem = col;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(col), reinterpret_cast<LPARAM>(&column));
      }
      for (int r = 0; r < c.rows; ++r) add_row(list, c, r);  // every row, for the measures
      lay_out(dlg, ch);
      HWND field = GetDlgItem(dlg, LIST_FIELD);
      SendMessageW(field, EM_LIMITTEXT, 100, 0);
      ch->field_proc = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(field_proc)));
      SetWindowTextW(field, win32_widen(c.filter ? c.filter : "").c_str());
      refilter(dlg, ch);  // also when the text set is the empty one it had
      SendMessageW(field, EM_SETSEL, 0, -1);
      SetFocus(field);
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      if (!ch) break;
      if (LOWORD(wparam) == LIST_FIELD && HIWORD(wparam) == EN_CHANGE) {
        refilter(dlg, ch);
        return TRUE;
      }
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
        HWND list = GetDlgItem(dlg, LIST_VIEW);
        const int item = selected_item(list);
        if (LOWORD(wparam) == IDOK && item < 0) return TRUE;  // nothing to run
        ch->filter = text_of(GetDlgItem(dlg, LIST_FIELD));
        if (LOWORD(wparam) == IDOK) {
          LVITEMW it{};
          it.mask = LVIF_PARAM;
          it.iItem = item;
          SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
          ch->chosen = static_cast<int>(it.lParam);
        }
        EndDialog(dlg, LOWORD(wparam));
        return TRUE;
      }
      break;
    case WM_NOTIFY: {
      const auto *n = reinterpret_cast<const NMHDR *>(lparam);
      if (n->idFrom == LIST_VIEW && n->code == NM_CUSTOMDRAW) {
        // The selected row in the highlight colours also while the field has the focus
        // (a list without the focus would show it pale).
        auto *cd = reinterpret_cast<NMLVCUSTOMDRAW *>(lparam);
        LRESULT result = CDRF_DODEFAULT;
        if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) {
          result = CDRF_NOTIFYITEMDRAW;
        } else if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT &&
                   (SendMessageW(n->hwndFrom, LVM_GETITEMSTATE, cd->nmcd.dwItemSpec, LVIS_SELECTED) & LVIS_SELECTED)) {
          cd->nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED | CDIS_FOCUS);
          cd->clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
          cd->clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
          result = CDRF_NEWFONT;
        }
        SetWindowLongPtrW(dlg, DWLP_MSGRESULT, result);
        return TRUE;
      }
      if (n->idFrom == LIST_VIEW && n->code == NM_DBLCLK &&
          reinterpret_cast<const NMITEMACTIVATE *>(lparam)->iItem >= 0) {
        PostMessageW(dlg, WM_COMMAND, IDOK, 0);
        return TRUE;
      }
      break;
    }
    default:
      break;
  }
  return FALSE;
}

}  // namespace

int plat_choose_row(UiHandle owner, const UiListChooser *chooser, char *filter_out, int filter_size) {
  if (filter_out && filter_size > 0) filter_out[0] = '\0';
  if (!chooser || chooser->rows < 0 || (chooser->rows > 0 && !chooser->cells)) return -1;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  HWND owner_hwnd = owner ? owner->hwnd : nullptr;
  Chooser ch;
  ch.c = chooser;
  ch.font = win32_ui_font(owner_hwnd);
  // Sizes in dialog units do not matter: lay_out places everything in pixels.
  DialogTemplate t(DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU, 300, 200, 5);
  t.item(SS_LEFT | SS_NOPREFIX, 0, 0, 10, 10, LIST_LABEL, 0x0082);
  t.item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0, 0, 10, 10, LIST_FIELD, 0x0081);
  t.item(LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | WS_BORDER, 0, 0, 10, 10, LIST_VIEW,
         WC_LISTVIEWW);
  t.item(BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 0, 10, 10, IDOK, 0x0080);
  t.item(BS_PUSHBUTTON | WS_TABSTOP, 0, 0, 10, 10, IDCANCEL, 0x0080);
  const INT_PTR r = DialogBoxIndirectParamW(win32_instance, t.get(), owner_hwnd, chooser_proc,
                                            reinterpret_cast<LPARAM>(&ch));
  if (filter_out && filter_size > 0) {
    const std::string text = win32_narrow(ch.filter.data(), static_cast<int>(ch.filter.size()));
    win32_copy_utf8(text.data(), text.size(), filter_out, filter_size);
  }
  return r == IDOK ? ch.chosen : -1;
}

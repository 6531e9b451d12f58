// Win32 backend: the questions of the window's close (a message box whose buttons carry
// the front end's captions) and the file choosers.
#include <windows.h>
#include <commdlg.h>

#include <cstring>
#include <string>

#include "ui/win32/win32_backend.h"

namespace {

// The captions for the next message box of this thread, set by its CBT hook when the
// box is activated (before it is shown), then the hook is removed.
const char *const *hook_captions = nullptr;
int hook_count = 0;
HHOOK caption_hook = nullptr;

LRESULT CALLBACK rename_buttons(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_ACTIVATE && hook_captions != nullptr) {
    HWND box = reinterpret_cast<HWND>(wparam);
    const int ids3[] = {IDYES, IDNO, IDCANCEL}, ids2[] = {IDOK, IDCANCEL};
    const int *ids = hook_count == 3 ? ids3 : ids2;
    for (int i = 0; i < hook_count; ++i) SetDlgItemTextW(box, ids[i], win32_widen(hook_captions[i]).c_str());
    hook_captions = nullptr;
    UnhookWindowsHookEx(caption_hook);
    caption_hook = nullptr;
    return 0;
  }
  return CallNextHookEx(caption_hook, code, wparam, lparam);
}

}  // namespace

int plat_ask(UiHandle owner, const char *text, const char *title, const char *const *buttons, int count) {
  if (count < 2 || count > 3) return -1;
  HWND hwnd = owner ? owner->hwnd : nullptr;
  hook_captions = buttons;
  hook_count = count;
  caption_hook = SetWindowsHookExW(WH_CBT, rename_buttons, nullptr, GetCurrentThreadId());
  const UINT type = (count == 3 ? MB_YESNOCANCEL : MB_OKCANCEL) | MB_ICONWARNING;
  const int pressed = MessageBoxW(hwnd, win32_widen(text ? text : "").c_str(),
                                  win32_widen(title ? title : "").c_str(), type);
  if (caption_hook != nullptr) {  // the box never came up
    UnhookWindowsHookEx(caption_hook);
    caption_hook = nullptr;
    hook_captions = nullptr;
  }
  switch (pressed) {
    case IDYES:
    case IDOK: return 0;
    case IDNO: return 1;
    case IDCANCEL: return count - 1;
    default: return -1;
  }
}

namespace {

// The chooser's filter and default extension for a sort of file.
const wchar_t *filter_of(UiFileKind kind) {
  return kind == UI_FILE_NUMBER ? L"Register files (*.txt)\0*.txt\0All files\0*.*\0"
                                : L"Workspace files (*.ini)\0*.ini\0All files\0*.*\0";
}
const wchar_t *extension_of(UiFileKind kind) { return kind == UI_FILE_NUMBER ? L"txt" : L"ini"; }

// The file calls take ANSI paths; the dialogs work in UTF-16 so that their titles show in
// any code page, and a chosen name the code page cannot spell is refused.
bool choose(bool save, UiHandle owner, const char *title, UiFileKind kind, const char *suggested, char *out,
            int size) {
  wchar_t file[MAX_PATH * 2] = {};
  if (suggested != nullptr) {
    MultiByteToWideChar(CP_ACP, 0, suggested, -1, file, MAX_PATH * 2 - 1);
  }
  const std::wstring wide_title = win32_widen(title ? title : "");
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner ? owner->hwnd : nullptr;
  ofn.lpstrFilter = filter_of(kind);
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH * 2;
  ofn.lpstrTitle = wide_title.c_str();
  ofn.lpstrDefExt = extension_of(kind);
  ofn.Flags = OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY |
              (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  if (!(save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn))) return false;
  BOOL lossy = FALSE;
  const int n = WideCharToMultiByte(CP_ACP, 0, file, -1, out, size, nullptr, &lossy);
  return n > 0 && !lossy;
}

}  // namespace

bool plat_choose_save_file(UiHandle owner, const char *title, UiFileKind kind, const char *suggested,
                           char *out, int size) {
  return choose(true, owner, title, kind, suggested, out, size);
}

bool plat_choose_open_file(UiHandle owner, const char *title, UiFileKind kind, char *out, int size) {
  return choose(false, owner, title, kind, nullptr, out, size);
}

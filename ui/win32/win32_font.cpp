// Win32 backend: the font for the texts that are not plain ASCII (the Japanese set).
//
// The layout units come from the main window's own font (the system font), and plain
// ASCII texts are shown in it. That font is a Latin face on most Windows locales and
// shows the Japanese captions as empty boxes, so texts that are not plain ASCII use a
// font that has the Japanese characters, chosen once among the installed Shift-JIS faces
// (the usual Windows UI faces first), with the character height of the system font, so
// that every caption fits the layout. When no such face is installed the system font
// stays.
#include <cstring>
#include <string>

#include "ui/win32/win32_backend.h"

namespace {

HFONT ui_font = nullptr;
bool ui_font_chosen = false;

// Faces in order of preference; the first one installed is taken.
const char *const PREFERRED_FACES[] = {
    "Yu Gothic UI", "Meiryo UI", "MS UI Gothic", "MS PGothic", "MS Gothic",
    "IPAPGothic",   "IPAGothic", "Noto Sans CJK JP", "VL PGothic", "Droid Sans Fallback",
};
constexpr int FACE_COUNT = sizeof PREFERRED_FACES / sizeof PREFERRED_FACES[0];

struct FaceSearch {
  int best = FACE_COUNT;  // index into PREFERRED_FACES of the best face seen
  std::string any;         // the first other horizontal Shift-JIS face seen
};

int CALLBACK on_face(const LOGFONTA *lf, const TEXTMETRICA *, DWORD, LPARAM param) {
  auto *search = reinterpret_cast<FaceSearch *>(param);
  if (lf->lfFaceName[0] == '@') return 1;  // vertical variants
  for (int i = 0; i < search->best; ++i) {
    if (std::strcmp(lf->lfFaceName, PREFERRED_FACES[i]) == 0) {
      search->best = i;
      return 1;
    }
  }
  if (search->any.empty()) search->any = lf->lfFaceName;
  return 1;
}

}  // namespace

HFONT win32_ui_font(HWND main) {
  if (ui_font_chosen) return ui_font;
  ui_font_chosen = true;
  HDC dc = GetDC(main);
  if (!dc) return nullptr;
  TEXTMETRICA tm;
  const bool measured = GetTextMetricsA(dc, &tm) != 0;
  LOGFONTA want{};
  want.lfCharSet = SHIFTJIS_CHARSET;
  FaceSearch search;
  EnumFontFamiliesExA(dc, &want, on_face, reinterpret_cast<LPARAM>(&search), 0);
  ReleaseDC(main, dc);
  const char *face = search.best < FACE_COUNT ? PREFERRED_FACES[search.best]
                     : search.any.empty()     ? nullptr
                                              : search.any.c_str();
  if (!measured || !face) return nullptr;
  LOGFONTA lf{};
  // Negative: the character height without internal leading, the same as the system
  // font's, so that both fonts show characters of one size.
  lf.lfHeight = -(tm.tmHeight - tm.tmInternalLeading);
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = SHIFTJIS_CHARSET;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  ui_font = CreateFontIndirectA(&lf);
  return ui_font;
}

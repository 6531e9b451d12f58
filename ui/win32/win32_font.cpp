// Win32 backend: the window's three fonts, all TrueType faces at the desktop's own caption
// size (the message font of the non-client metrics: Segoe UI 9 pt on Windows 10 and 11,
// Tahoma 8 pt under Wine).
//
// - Captions and painted texts: the message font itself; the layout units are measured in
//   it.
// - The Japanese caption set and any text that is not plain ASCII: a face with the
//   Japanese characters (the usual Windows UI faces first), at the same character height,
//   so that both caption sets show in one size. The message font is a Latin face on most
//   Windows locales and would show the Japanese captions as empty boxes.
// - Edit boxes (registers, digits field, script): a monospaced TrueType face (Consolas,
//   on every Windows 10 and 11; under Wine a monospaced face of the system), at the same
//   character height. The system font, a bitmap face, is never used.
// Each is chosen at its first use and kept for the process.
#include <cstring>
#include <string>

#include "ui/win32/win32_backend.h"

namespace {

bool message_font_read = false;
LOGFONTA message_font{};  // the desktop's caption font, or a Tahoma 8 pt stand-in

const LOGFONTA &desktop_font() {
  if (message_font_read) return message_font;
  message_font_read = true;
  NONCLIENTMETRICSA ncm{};
  ncm.cbSize = sizeof ncm;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0) &&
      ncm.lfMessageFont.lfFaceName[0] != '\0') {
    message_font = ncm.lfMessageFont;
  } else {
    message_font.lfHeight = -11;  // 8 pt at 96 dpi
    message_font.lfWeight = FW_NORMAL;
    message_font.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(message_font.lfFaceName, "Tahoma", LF_FACESIZE - 1);
  }
  return message_font;
}

struct FaceSearch {
  const char *const *preferred;
  int count;
  int best;          // index into preferred of the best face seen; count when none
  std::string any;   // the first other face that qualifies
  bool fixed_pitch;  // only monospaced faces qualify
};

int CALLBACK on_face(const LOGFONTA *lf, const TEXTMETRICA *tm, DWORD type, LPARAM param) {
  auto *search = reinterpret_cast<FaceSearch *>(param);
  if (lf->lfFaceName[0] == '@') return 1;  // vertical variants
  if (!(type & TRUETYPE_FONTTYPE)) return 1;  // no bitmap faces
  // TMPF_FIXED_PITCH set means a variable-pitch font.
  if (search->fixed_pitch && (tm->tmPitchAndFamily & TMPF_FIXED_PITCH)) return 1;
  for (int i = 0; i < search->best; ++i) {
    if (std::strcmp(lf->lfFaceName, search->preferred[i]) == 0) {
      search->best = i;
      return 1;
    }
  }
  if (search->any.empty()) search->any = lf->lfFaceName;
  return 1;
}

// A font of the desktop font's height in the first installed face of `preferred` (or any
// face of the character set that qualifies); null when there is none.
HFONT create_face(const char *const *preferred, int count, BYTE charset, bool fixed_pitch) {
  HDC dc = GetDC(nullptr);
  if (!dc) return nullptr;
  LOGFONTA want{};
  want.lfCharSet = charset;
  FaceSearch search{preferred, count, count, std::string(), fixed_pitch};
  EnumFontFamiliesExA(dc, &want, reinterpret_cast<FONTENUMPROCA>(on_face),
                      reinterpret_cast<LPARAM>(&search), 0);
  ReleaseDC(nullptr, dc);
  const char *face = search.best < count ? preferred[search.best]
                     : search.any.empty() ? nullptr
                                          : search.any.c_str();
  if (!face) return nullptr;
  LOGFONTA lf = desktop_font();
  lf.lfWeight = FW_NORMAL;
  lf.lfItalic = 0;
  lf.lfCharSet = charset;
  lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  lf.lfPitchAndFamily = fixed_pitch ? (FIXED_PITCH | FF_MODERN) : (DEFAULT_PITCH | FF_DONTCARE);
  std::memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return CreateFontIndirectA(&lf);
}

const char *const JAPANESE_FACES[] = {
    "Yu Gothic UI", "Meiryo UI", "MS UI Gothic", "MS PGothic", "MS Gothic",
    "IPAPGothic",   "IPAGothic", "Noto Sans CJK JP", "VL PGothic", "Droid Sans Fallback",
};
const char *const NUMBER_FACES[] = {
    "Consolas", "Lucida Console", "Courier New", "DejaVu Sans Mono", "Liberation Mono",
    "Noto Sans Mono", "Noto Mono", "MS Gothic",
};

}  // namespace

HFONT win32_caption_font() {
  static HFONT font = [] {
    LOGFONTA lf = desktop_font();
    lf.lfOutPrecision = OUT_TT_PRECIS;
    HFONT f = CreateFontIndirectA(&lf);
    return f ? f : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }();
  return font;
}

HFONT win32_ui_font(HWND) {
  static HFONT font = [] {
    HFONT f = create_face(JAPANESE_FACES, sizeof JAPANESE_FACES / sizeof *JAPANESE_FACES,
                          SHIFTJIS_CHARSET, false);
    return f ? f : win32_caption_font();
  }();
  return font;
}

HFONT win32_number_font() {
  static HFONT font = [] {
    HFONT f = create_face(NUMBER_FACES, sizeof NUMBER_FACES / sizeof *NUMBER_FACES,
                          DEFAULT_CHARSET, true);
    return f ? f : win32_caption_font();
  }();
  return font;
}

int win32_text_width(HFONT font, const char *utf8) {
  HDC dc = GetDC(nullptr);
  if (!dc) return 0;
  HGDIOBJ old = SelectObject(dc, font);
  const std::wstring w = win32_widen(utf8);
  SIZE size{0, 0};
  GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size.cx;
}

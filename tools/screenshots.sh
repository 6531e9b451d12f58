#!/usr/bin/env bash
# Renews the screenshots in docs/: the Linux window (Qt) and the Windows program under Wine,
# with English and Japanese captions, as the default window on a 1366 x 768 screen and
# maximized on a 1920 x 1080 one; and a comparison of two 100,000-digit registers in the
# Linux window (the manual's chapter 12).
#
#   tools/screenshots.sh [--build DIR] [--build-win DIR] [--out DIR] [--only qt|win32|long]
#
#   --build DIR      the Linux build with deepnums and deepnums-cli (default build)
#   --build-win DIR  the mingw-w64 cross build with deepNUMS.exe and deepnums_win32_probe.exe
#                    (default build-win; tests/win32/run_win32_tests.sh build DIR makes it)
#   --out DIR        where the pictures go (default docs)
#   --only SET       only the Linux window's pictures, the Windows ones, or the comparison
#
# Pictures (English; "-ja" before ".png" for the Japanese captions):
#   window.png            Linux, the default window on a 1366 x 768 screen
#   window-1920.png       Linux, maximized on 1920 x 1080
#   window-win32.png      Windows (Wine), the default window on a 1366 x 768 screen
#   window-win32-1920.png Windows (Wine), maximized on 1920 x 1080
#   long-results.png      Linux: R0 compared with R1 (Ctrl+Shift+C), which differ at digit
#                         87,654 of 100,000
#
# Every window starts as on a first day of use with a workspace made by deepnums-cli:
# R0 = √2 to 100,000 digits, R1 = exp(π√163) to 50 digits, R5 = π to 1,000 digits (for the
# comparison: R0 = π to 100,000 digits, R1 = the same digits read from a file in which digit
# 87,654 is altered). The language is the locale's, as at a first start: LANG=C.UTF-8 for
# English, LANG=ja_JP.UTF-8 for Japanese (the program and the font configuration read the
# variable; the locale need not be installed). The keyboard puts the caret into R0 (Tab,
# Ctrl+Home, then three lines down), so the top row shows the caret's digit position.
#
# Each picture has its own Xvfb of the screen's size (a display from :260 to :299 that is
# free) and no window manager: the Linux window is maximized by giving it the screen's
# size, the Windows one by its own maximize command in a Wine desktop of the screen's size
# (a private Wine prefix in the cross build's folder, screenshots/wineprefix). Pictures
# are stored with a palette of 256 colours (ImageMagick's PNG8), which keeps the text
# sharp at a fraction of the size.
#
# Needs Xvfb, xdotool, ImageMagick (import, convert), python3; for the Windows pictures
# wine. Look at every picture before committing it.
set -uo pipefail
unset LC_ALL LC_MESSAGES LC_CTYPE LANGUAGE
export LANG=C.UTF-8

repo=$(cd "$(dirname "$0")/.." && pwd)
build=$repo/build
build_win=$repo/build-win
out=$repo/docs
only=""
while [ $# -gt 0 ]; do
  case $1 in
    --build) build=$2; shift 2 ;;
    --build-win) build_win=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --only) only=$2; shift 2 ;;
    *) sed -n '2,14p' "$0" >&2; exit 2 ;;
  esac
done
build=$(cd "$build" && pwd) || exit 2
mkdir -p "$out"
out=$(cd "$out" && pwd)

die() { echo "screenshots: $*" >&2; exit 1; }
have() { command -v "$1" >/dev/null 2>&1; }
for tool in Xvfb xdotool import convert python3; do have "$tool" || die "$tool is not installed"; done
[ -x "$build/deepnums-cli" ] || die "no deepnums-cli in $build"

work=$(mktemp -d /tmp/deepnums_shots_XXXXXX)
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  if [ -n "${WINEPREFIX:-}" ] && have wineserver; then wineserver -k >/dev/null 2>&1 || true; fi
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT

TITLE='deepNUMS : 100,000 digits Scientific Calculator R1.30'
CLI=$build/deepnums-cli

# ---- the display ----
start_xvfb() {  # WIDTH HEIGHT
  local n
  for n in $(seq 260 299); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 "${1}x${2}x24" -dpi 96 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; return 0; }
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null; xvfb_pid=""
  done
  die "no free display from :260 to :299"
}

stop_xvfb() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; xvfb_pid=""; fi
}

# The picture with 256 colours.
store() {  # RAW NAME
  convert "$1" +dither -colors 256 "PNG8:$out/$2" || die "converting $2"
  echo "$2: $(identify -format '%w x %h' "$out/$2"), $(( $(stat -c %s "$out/$2") / 1024 )) KiB"
}

# ---- the workspaces, made by deepnums-cli at a first start in the locale LANG ----
make_workspace() {  # LANG FILE
  rm -f "$2"
  local cli=(env LANG="$1" "$CLI" -w "$2")
  ("${cli[@]}" -d 1000 pi '->R5' &&
   "${cli[@]}" -d 50 -e 'exp(pi*sqrt(163))' &&
   "${cli[@]}" -d 100000 -e 'sqrt(2)') >/dev/null </dev/null || die "deepnums-cli could not make the workspace"
}

# π to 100,000 digits in R0, and in R1 the same digits from a file in which digit 87,654 is
# one more (mod 10): a computed constant against a published one that departs from it.
make_compare_workspace() {  # LANG FILE
  rm -f "$2"
  ("$CLI" -d 100000 pi >"$work/pi.txt" &&
   python3 - "$work/pi.txt" "$work/published.txt" <<'PY' &&
import sys
text = open(sys.argv[1]).read().rstrip("\n")
digits = [i for i, c in enumerate(text) if c.isdigit()]
i = digits[87654 - 1]
text = text[:i] + str((int(text[i]) + 1) % 10) + text[i + 1:]
open(sys.argv[2], "w").write("# pi with digit 87,654 altered\n" + text + "\n")
PY
   env LANG="$1" "$CLI" -w "$2" -d 100000 pi "R1=@$work/published.txt") >/dev/null </dev/null ||
    die "deepnums-cli could not make the comparison's workspace"
}

# ---- the Linux window ----
shoot_qt() {  # NAME LANG WIDTH HEIGHT maximized|default [compare]
  local name=$1 lang=$2 w=$3 h=$4 size=$5 scene=${6:-}
  [ -x "$build/deepnums" ] || die "no deepnums in $build"
  local home="$work/qt-$name"
  mkdir -p "$home/config/deepnums"
  if [ "$scene" = compare ]; then
    make_compare_workspace "$lang" "$home/config/deepnums/deepNUMS.ini"
  else
    make_workspace "$lang" "$home/config/deepnums/deepNUMS.ini"
  fi
  start_xvfb "$w" "$h"
  (cd "$home" && exec env LANG="$lang" XDG_CONFIG_HOME="$home/config" "$build/deepnums" 2>"$home/stderr.txt") &
  app_pid=$!
  local wid=""
  for _ in $(seq 100); do
    wid=$(xdotool search --onlyvisible --name "^${TITLE}\$" 2>/dev/null | head -1)
    [ -n "$wid" ] && break
    sleep 0.1
  done
  [ -n "$wid" ] || die "$name: the window did not appear"
  sleep 0.5
  timeout 5 xdotool windowfocus --sync "$wid" 2>/dev/null || true
  if [ "$size" = maximized ]; then
    xdotool windowsize "$wid" "$w" "$h" windowmove "$wid" 0 0
    sleep 0.5
  fi
  # The focus starts in R1: Tab goes to R0.
  xdotool key Tab ctrl+Home Down Down Down
  if [ "$scene" = compare ]; then
    xdotool key ctrl+shift+c
  fi
  sleep 1
  xdotool mousemove "$((w - 1))" "$((h - 1))"
  import -window "$wid" "$work/raw.png" || die "$name: no screenshot"
  python3 "$repo/tests/ui/xclose.py" "$wid" >/dev/null 2>&1
  for _ in $(seq 50); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
  kill "$app_pid" 2>/dev/null
  wait "$app_pid" 2>/dev/null
  app_pid=""
  stop_xvfb
  store "$work/raw.png" "$name.png"
}

# ---- the Windows program under Wine ----
# Wine's programs run in the locale of the picture.
wine_lang=C.UTF-8
probe() { env LANG="$wine_lang" wine "$build_win/deepnums_win32_probe.exe" "$@" 2>/dev/null | tr -d '\r'; }

wine_prefix() {
  have wine || die "wine is not installed"
  [ -f "$build_win/deepNUMS.exe" ] && [ -f "$build_win/deepnums_win32_probe.exe" ] ||
    die "no deepNUMS.exe and deepnums_win32_probe.exe in $build_win"
  export WINEPREFIX="$build_win/screenshots/wineprefix" WINEDEBUG=-all WINEARCH=win64
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  mkdir -p "$build_win/screenshots"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    (unset DISPLAY; wineboot --init >/dev/null 2>&1) || die "wineboot --init"
  fi
}

shoot_win32() {  # NAME LANG WIDTH HEIGHT maximized|default
  local name=$1 lang=$2 w=$3 h=$4 size=$5
  wine_prefix
  wineserver -k >/dev/null 2>&1
  # Every program of the prefix runs in one Wine desktop of the screen's size.
  (unset DISPLAY
   wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f &&
   wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "${w}x$h" /f) >/dev/null 2>&1 ||
    die "setting the Wine desktop"
  wineserver -k >/dev/null 2>&1
  local dir="$work/win32-$name"
  mkdir -p "$dir/started-here"
  cp "$build_win/deepNUMS.exe" "$dir/"
  # Beside the program, as in the unpacked zip.
  make_workspace "$lang" "$dir/deepNUMS.ini"
  start_xvfb "$w" "$h"
  wine_lang=$lang
  probe ready
  (cd "$dir/started-here" && exec env LANG="$lang" wine "$dir/deepNUMS.exe") >/dev/null 2>&1 &
  app_pid=$!
  local info
  info=$(probe find) || die "$name: the window did not appear"
  if [ "$size" = maximized ]; then
    info=$(probe maximize) || die "$name: the window was not maximized"
  fi
  local l t r b
  read -r _ _ _ _ l t r b _ <<<"$info"
  # The keyboard: Tab from R1 to R0, the caret to its start and three lines down.
  probe keys tab ctrl+home down down down >/dev/null
  sleep 1
  # The window as it shows on the screen (a maximized one has its frame outside).
  [ "$l" -lt 0 ] && l=0; [ "$t" -lt 0 ] && t=0
  [ "$r" -gt "$w" ] && r=$w; [ "$b" -gt "$h" ] && b=$h
  import -window root -crop "$((r - l))x$((b - t))+$l+$t" +repage "$work/raw.png" || die "$name: no screenshot"
  probe close >/dev/null
  wineserver -k >/dev/null 2>&1
  wait "$app_pid" 2>/dev/null
  app_pid=""
  stop_xvfb
  store "$work/raw.png" "$name.png"
}

if [ -z "$only" ] || [ "$only" = qt ]; then
  shoot_qt window C.UTF-8 1366 768 default
  shoot_qt window-ja ja_JP.UTF-8 1366 768 default
  shoot_qt window-1920 C.UTF-8 1920 1080 maximized
  shoot_qt window-ja-1920 ja_JP.UTF-8 1920 1080 maximized
fi
if [ -z "$only" ] || [ "$only" = long ]; then
  shoot_qt long-results C.UTF-8 1366 768 default compare
  shoot_qt long-results-ja ja_JP.UTF-8 1366 768 default compare
fi
if [ -z "$only" ] || [ "$only" = win32 ]; then
  shoot_win32 window-win32 C.UTF-8 1366 768 default
  shoot_win32 window-win32-ja ja_JP.UTF-8 1366 768 default
  shoot_win32 window-win32-1920 C.UTF-8 1920 1080 maximized
  shoot_win32 window-win32-ja-1920 ja_JP.UTF-8 1920 1080 maximized
fi

#!/usr/bin/env bash
# The Windows program's tests: the mingw-w64 cross build, its console test runners under
# Wine, and an end-to-end run of deepNUMS.exe under Wine and Xvfb.
#
#   run_win32_tests.sh build   BUILD_DIR              configure and build the cross build
#   run_win32_tests.sh runners BUILD_DIR              run the test runners under Wine
#   run_win32_tests.sh e2e     BUILD_DIR [PNG]        drive deepNUMS.exe, check its workspace
#                                                     file, save a screenshot to PNG
#   run_win32_tests.sh zip     BUILD_DIR              build the zip with CPack, check its
#                                                     files, run its deepnums-cli.exe
#   run_win32_tests.sh all     BUILD_DIR [PNG]        the four in turn
#
# Exit 0 when the step passed, 77 when it cannot run here (no mingw-w64, Wine or Xvfb:
# CTest counts that as skipped), anything else when it failed.
#
# Wine runs with a private prefix under BUILD_DIR (created with `wineboot --init` on first
# use), WINEDEBUG=-all and without Mono and Gecko; each GUI step starts its own Xvfb and
# ends with `wineserver -k`.
set -uo pipefail

step=${1:-}
build=${2:-}
png=${3:-}
if [ -z "$step" ] || [ -z "$build" ]; then
  sed -n '2,14p' "$0" >&2
  exit 2
fi
repo=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$build"
build=$(cd "$build" && pwd)

skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }
have() { command -v "$1" >/dev/null 2>&1; }

# ---- build ----
do_build() {
  have cmake || skip "cmake not installed"
  have x86_64-w64-mingw32-g++-posix || skip "mingw-w64 (g++-mingw-w64-x86-64-posix) not installed"
  cmake -S "$repo" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=Release >"$build/configure.log" 2>&1 \
    || { tail -40 "$build/configure.log"; fail "configure"; }
  grep 'Windows test runners leave out' "$build/configure.log" || true
  cmake --build "$build" -j2 >"$build/build.log" 2>&1 || { grep -E 'error|Error' "$build/build.log" | head -40; fail "build"; }
  for exe in deepNUMS.exe deepnums_win32_backend_tests.exe deepnums_win32_probe.exe; do
    [ -f "$build/$exe" ] || fail "$exe was not built"
  done
  echo "built: $(cd "$build" && ls ./*.exe | tr '\n' ' ')"
}

# ---- Wine and Xvfb ----
xvfb_pid=""
cleanup() {
  if [ -n "${WINEPREFIX:-}" ] && have wineserver; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" >/dev/null 2>&1 || true; wait "$xvfb_pid" 2>/dev/null || true; fi
}

wine_env() {
  have wine || skip "wine not installed"
  have Xvfb || skip "Xvfb not installed"
  export WINEPREFIX="$build/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  trap cleanup EXIT
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    (unset DISPLAY; wineboot --init >/dev/null 2>&1) || fail "wineboot --init"
  fi
  # Every program of the prefix runs in one Wine desktop of the screen's size, where Wine
  # draws the frames and title bars itself (there is no window manager) and where the
  # probe of the end-to-end test sees the program's window.
  if ! grep -q '"Desktop"="Default"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    (unset DISPLAY
     wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f &&
     wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1600x1000 /f) >/dev/null 2>&1 \
      || fail "setting the Wine desktop"
  fi
  wineserver -k >/dev/null 2>&1 || true
}

start_xvfb() {
  local n
  for n in $(seq 90 160); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; return 0; }
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$xvfb_pid" >/dev/null 2>&1; xvfb_pid=""
  done
  fail "could not start Xvfb"
}

# ---- runners ----
do_runners() {
  wine_env
  start_xvfb
  local runners=("$build"/deepnums_win_*_tests.exe "$build"/deepnums_win32_backend_tests.exe)
  local failed=0 ran=0 out
  for exe in "${runners[@]}"; do
    [ -f "$exe" ] || continue
    ran=$((ran + 1))
    out="$build/$(basename "$exe" .exe).log"
    echo "== $(basename "$exe")"
    (cd "$build" && wine "$exe" --gtest_brief=1) 2>&1 | tr -d '\r' >"$out"
    local rc=${PIPESTATUS[0]}
    grep -E '^\[  (PASSED|FAILED) ' "$out" || true
    grep -E '^\[ +info \]' "$out" || true
    if [ "$rc" -ne 0 ] || ! grep -q '^\[  PASSED  \]' "$out"; then
      failed=$((failed + 1))
      grep -B2 -A12 -E 'Failure|FAILED' "$out" | head -80
      echo "-- $(basename "$exe") exit code $rc"
    fi
  done
  [ "$ran" -gt 0 ] || fail "no test runner in $build"
  [ "$failed" -eq 0 ] || fail "$failed of $ran runners"
  echo "all $ran runners passed"
}

# ---- end to end ----
# Positions come from the control table: a control's rectangle is given in tenths of a
# character cell (x in tenths of char_width, y in tenths of char_height) from the client
# area's top left, so its centre on screen is
#   client origin + ((left + right) / 2) * char_width / 10, likewise for y,
# with the client origin and the units that the probe reads from the running window.
# Rectangles (left top right bottom) of the controls used, from ui/control_table.cpp:
rect_R1=(35 230 1510 297)       # id 17, register box R1
rect_R0=(35 300 1510 367)       # id 19, register box R0
rect_plus=(120 390 140 402)     # id 35, "+"
rect_language=(830 5 920 17)    # id 8, "English" / "Japanese"

probe() { wine "$build/deepnums_win32_probe.exe" "$@" 2>/dev/null | tr -d '\r'; }

# Sets cx, cy to the screen point at the centre of a control and checks with the probe
# that this point is on the control with the expected id.
centre_of() {
  local -n r=$1
  local id=$2
  local lx=$(( r[0] * cw / 10 )) rx=$(( r[2] * cw / 10 ))
  local ty=$(( r[1] * ch / 10 )) by=$(( r[3] * ch / 10 ))
  local x=$(( (lx + rx) / 2 )) y=$(( (ty + by) / 2 ))
  local hit
  hit=$(probe at "$x" "$y")
  [ "$hit" = "$id" ] || fail "client point ($x, $y) is on control '$hit', expected $id"
  cx=$(( client_x + x )); cy=$(( client_y + y ))
}

# Starts deepNUMS.exe in the work folder (its current directory, where it keeps its
# workspace file) and waits for its window.
start_program() {
  (cd "$work" && exec wine "$build/deepNUMS.exe") >/dev/null 2>&1 &
  program_pid=$!
  local info
  info=$(probe find) || fail "the window did not appear"
  # client X Y window L T R B units W H
  read -r _ client_x client_y _ win_l win_t win_r win_b _ cw ch <<<"$info"
  # The window is also an X window with its title, as a desktop user sees it.
  have xdotool && { xdotool search --sync --limit 1 --name '^deepNUMS : 100,000 digits Scientific Calculator R1\.30$' >/dev/null \
    || fail "xdotool found no window by the title"; }
  # Wine's desktop window sits at the top left of the root window.
  local desk
  desk=$(xdotool search --limit 1 --name ' - Wine desktop$' 2>/dev/null | head -1)
  off_x=0; off_y=0
  if [ -n "$desk" ]; then
    eval "$(xdotool getwindowgeometry --shell "$desk" | grep -E '^[XY]=')"
    off_x=$X; off_y=$Y
  fi
  client_x=$(( client_x + off_x )); client_y=$(( client_y + off_y ))
  echo "window ($win_l, $win_t)-($win_r, $win_b), client origin ($client_x, $client_y), units $cw x $ch"
}

wait_text() {  # id expected-text (escaped as the probe prints it)
  local got=""
  for _ in $(seq 100); do
    got=$(probe text "$1")
    [ "$got" = "$2" ] && return 0
    sleep 0.1
  done
  fail "control $1 shows '$got', expected '$2'"
}

stop_program() {
  probe close >/dev/null || fail "the window did not close"
  for _ in $(seq 100); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
  done
  wineserver -k >/dev/null 2>&1 || true
}

type_into() {  # rect-name id text
  centre_of "$1" "$2"
  xdotool mousemove "$cx" "$cy" click 1
  sleep 0.3
  xdotool key --clearmodifiers ctrl+Home shift+ctrl+End
  xdotool type --delay 50 "$3"
}

click() {  # rect-name id
  centre_of "$1" "$2"
  xdotool mousemove "$cx" "$cy" click 1
}

do_e2e() {
  wine_env
  have xdotool || skip "xdotool not installed"
  [ -f "$build/deepNUMS.exe" ] || fail "no deepNUMS.exe in $build"
  start_xvfb
  work="$build/e2e"
  rm -rf "$work"; mkdir -p "$work"
  # The first Wine program on a new display gets a different face for the system font
  # (regular instead of bold); a trivial first program lets deepNUMS look as on a desktop
  # that has been running.
  probe ready

  start_program
  type_into rect_R1 17 2
  type_into rect_R0 19 3
  wait_text 17 "2"
  wait_text 19 "3"
  click rect_plus 35
  wait_text 19 '5\r\n'
  click rect_language 8
  wait_text 8 "Japanese"
  if [ -n "$png" ] && have import; then
    sleep 0.5
    import -window root -crop "$((win_r - win_l))x$((win_b - win_t))+$((win_l + off_x))+$((win_t + off_y))" +repage "$png" \
      && echo "screenshot: $png"
  fi
  stop_program

  # The workspace file: 42 lines with CR LF, the English captions, the last command and
  # the result of "+".
  local ini="$work/deepNUMS.ini"
  [ -f "$ini" ] || fail "no deepNUMS.ini written"
  local lines crlf
  lines=$(wc -l <"$ini")
  crlf=$(grep -c $'\r$' "$ini")
  [ "$lines" -eq 42 ] && [ "$crlf" -eq 42 ] || fail "deepNUMS.ini has $lines lines, $crlf with CR LF"
  line() { sed -n "${1}p" "$ini" | tr -d '\r'; }
  [ "$(line 1)" = 20 ] && [ "$(line 22)" = 20 ] || fail "section counts: $(line 1), $(line 22)"
  [ "$(line 2)" = 1 ] || fail "language saved as '$(line 2)', expected 1"
  [ "$(line 14)" = 35 ] || fail "last command saved as '$(line 14)', expected 35"
  [ "$(sed -n 23p "$ini" | od -An -c | tr -s ' ')" = " 5 \r \a \r \n" ] || fail "R0 saved as: $(sed -n 23p "$ini" | od -An -c)"
  local width=$(( $(line 5) - $(line 3) )) height=$(( $(line 6) - $(line 4) ))
  [ "$width" -eq $(( cw * 1540 / 10 + 10 )) ] && [ "$height" -eq $(( ch * 510 / 10 )) ] \
    || fail "saved window size ${width}x${height}, expected the default $(( cw * 1540 / 10 + 10 ))x$(( ch * 510 / 10 ))"

  # A second start reads the file back: English captions and R0 as saved.
  start_program
  wait_text 8 "Japanese"
  wait_text 19 '5\r\n'
  wait_text 2 "1000"
  # Ending the session saves as a close does: R1 typed just before is in the file.
  type_into rect_R1 17 77
  wait_text 17 "77"
  probe endsession >/dev/null || fail "the window was still there after WM_ENDSESSION"
  [ "$(sed -n 24p "$ini" | tr -d '\r')" = 77 ] || fail "R1 after the session ended: '$(sed -n 24p "$ini")'"
  for _ in $(seq 100); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
  done
  wineserver -k >/dev/null 2>&1 || true

  do_keys
  echo "end-to-end run passed"
}

# The window from the keyboard alone, through SendInput as a keyboard types: a fresh
# window has the focus in R1; 2, Tab, 3, Ctrl + keypad plus gives 5; Ctrl+Z brings 2 and
# 3 back, Ctrl+Y the 5; Return in R0 is "up"; Ctrl+A selects a box's text; Alt+S runs
# sinh and leaves no menu open; Tab and the arrows reach the grid. Screenshots show the
# focus ring.
do_keys() {
  work="$build/e2e-keys"
  rm -rf "$work"; mkdir -p "$work"
  start_program
  local f
  f=$(probe focus)
  [ "$f" = 17 ] || fail "a fresh window has the focus on '$f', expected R1 (17)"
  probe keys 2 tab 3 >/dev/null || fail "sending keys"
  wait_text 17 "2"
  wait_text 19 "3"
  probe keys ctrl+add >/dev/null
  wait_text 19 '5\r\n'
  wait_text 17 "3"
  wait_text 15 "2"
  [ "$(probe focus)" = 19 ] || fail "the focus is not back in R0 after the command"
  probe keys ctrl+z >/dev/null
  wait_text 19 "3"
  wait_text 17 "2"
  wait_text 15 "0"
  if [ -n "$png" ] && have import; then
    local shot="${png%.png}-keys.png"
    sleep 0.5
    import -window root -crop "$((win_r - win_l))x$((win_b - win_t))+$((win_l + off_x))+$((win_t + off_y))" +repage "$shot" \
      && echo "screenshot after Ctrl+Z: $shot"
  fi
  probe keys ctrl+y >/dev/null
  wait_text 19 '5\r\n'
  # Ctrl+A (after Right has undone the selection) and typing replace R0; Return enters
  # it and lifts the stack.
  probe keys right ctrl+a 7 return >/dev/null
  wait_text 17 "7"
  wait_text 19 "0"
  wait_text 15 "3"
  # Shift+Tab goes back to R1; seven Tabs on, through R0 and the five options,
  # reach the grid's first button, "+", where the arrows move.
  probe keys shift+tab >/dev/null
  [ "$(probe focus)" = 17 ] || fail "Shift+Tab from R0 went to '$(probe focus)', expected R1 (17)"
  # An Alt chord (sinh) leaves no menu behind: the next digit is typed into R1 again.
  probe keys alt+s 4 >/dev/null
  wait_text 17 "4"
  probe keys tab tab tab tab tab tab tab right down >/dev/null
  [ "$(probe focus)" = 41 ] || fail "Tab and the arrows reached '$(probe focus)', expected \"down\" (41)"
  if [ -n "$png" ] && have import; then
    import -window root -crop "$((win_r - win_l))x$((win_b - win_t))+$((win_l + off_x))+$((win_t + off_y))" +repage \
      "${png%.png}-button-focus.png" || true
  fi
  stop_program
  echo "keyboard run passed: 2, Tab, 3, Ctrl++ gave 5; Ctrl+Z gave 2 and 3 back"
}

# ---- the zip ----
do_zip() {
  have cpack || skip "cpack not installed"
  have python3 || skip "python3 not installed"
  [ -f "$build/CPackConfig.cmake" ] || fail "no CPackConfig.cmake in $build"
  rm -rf "$build/package"
  cpack --config "$build/CPackConfig.cmake" -B "$build/package" >"$build/cpack.log" 2>&1 \
    || { cat "$build/cpack.log"; fail "cpack"; }
  local version zip top
  version=$(sed -n 's/^project(deepNUMS VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
  top="deepNUMS-$version-win64"
  zip="$build/package/$top.zip"
  [ -f "$zip" ] || fail "no $top.zip in $build/package: $(ls "$build/package")"
  # Exactly the programs, README, the manual, the licence and the runtime's notices, in one
  # folder; unpacked beside the zip.
  python3 - "$zip" "$top" "$build/package" <<'PY' || fail "zip contents"
import sys, zipfile
path, top, dest = sys.argv[1:4]
names = sorted(n for n in zipfile.ZipFile(path).namelist() if not n.endswith("/"))
want = sorted(f"{top}/{n}" for n in ["deepNUMS.exe", "deepnums-cli.exe", "README.md",
              "docs/manual.md", "docs/windows.md", "docs/window.png", "docs/window-win32.png",
              "LICENSE.txt", "THIRD-PARTY-NOTICES.txt"])
if names != want:
    sys.exit(f"zip holds {names}, expected {want}")
# The licence and the notices of what is linked into the programs, with CR LF line ends.
z = zipfile.ZipFile(path)
texts = {n: z.read(f"{top}/{n}").decode("ascii") for n in ["LICENSE.txt", "THIRD-PARTY-NOTICES.txt"]}
for name, text in texts.items():
    if "\n" in text.replace("\r\n", ""):
        sys.exit(f"{name}: a line without CR LF")
wanted = {"LICENSE.txt": ["MIT License", "Copyright (c) 2026 The deepNUMS authors"],
          "THIRD-PARTY-NOTICES.txt": ["GCC RUNTIME LIBRARY EXCEPTION", "libstdc++", "libgcc",
              "Copyright (c) 2011-2016 mingw-w64 project", "Copyright (c) 2010 Lockless Inc.",
              "Copyright (c) 2009-2016 the mingw-w64 project", "Lucent Technologies",
              "David M. Gay"]}
for name, phrases in wanted.items():
    for phrase in phrases:
        if phrase not in texts[name]:
            sys.exit(f"{name} lacks '{phrase}'")
zipfile.ZipFile(path).extractall(dest)
PY
  wine_env
  local got
  got=$(cd "$build/package/$top" && wine ./deepnums-cli.exe -d 12 2 10 'x^y' 2>&1 | tr -d '\r')
  [ "$got" = 1024 ] || fail "deepnums-cli.exe from the zip printed '$got'"
  got=$(cd "$build/package/$top" && wine ./deepnums-cli.exe --version 2>&1 | tr -d '\r' | sed -n 2p)
  [[ $got == "Copyright (C) 2026 The deepNUMS authors; MIT License"* ]] \
    || fail "deepnums-cli.exe --version gave the licence line '$got'"
  echo "zip $top.zip: files and notices checked, deepnums-cli.exe computed 2 ^ 10"
}

case "$step" in
  build) do_build ;;
  zip) do_zip ;;
  runners) do_runners ;;
  e2e) do_e2e ;;
  all) ( do_build ) || exit $?; ( do_runners ) || exit $?; ( do_e2e ) || exit $?; ( do_zip ) || exit $? ;;
  *) echo "unknown step: $step" >&2; exit 2 ;;
esac

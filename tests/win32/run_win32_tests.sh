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
#   run_win32_tests.sh installer BUILD_DIR [PNG]      build the installer; install, start
#                                                     from the Start menu, close, uninstall,
#                                                     all silently; PNG: the Start menu
#   run_win32_tests.sh all     BUILD_DIR [PNG]        the five in turn (PNG of the window)
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
  # winemenubuilder is off: the installer's shortcuts must not become menu entries of the
  # Linux desktop outside the prefix.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
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
  for n in $(seq 90 139); do  # 140.. the fault test, 200.. the Qt end-to-end test
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
# Positions come from the running window: the probe reads a control's rectangle as the
# program laid it out for its size (client coordinates), so its centre on screen is the
# client origin plus the rectangle's centre. The controls used: 17 register box R1, 19
# register box R0, 35 "+", 8 "English" / "Japanese".

probe() { wine "$build/deepnums_win32_probe.exe" "$@" 2>/dev/null | tr -d '\r'; }

# Sets cx, cy to the screen point at the centre of a control and checks with the probe
# that this point is on the control with the expected id.
centre_of() {
  local id=$2 r
  read -r -a r <<<"$(probe rect "$id")"
  [ "${#r[@]}" -eq 4 ] || fail "no rectangle for control $id"
  local x=$(( (r[0] + r[2]) / 2 )) y=$(( (r[1] + r[3]) / 2 ))
  local hit
  hit=$(probe at "$x" "$y")
  [ "$hit" = "$id" ] || fail "client point ($x, $y) is on control '$hit', expected $id"
  cx=$(( client_x + x )); cy=$(( client_y + y ))
}

# Starts the copy of deepNUMS.exe in the work folder, as from an unpacked zip: it keeps its
# workspace file beside itself there, whatever folder it is started from (here an empty
# one of its own). Waits for its window.
start_program() {
  (cd "$work/started-here" && exec wine "$work/deepNUMS.exe") >/dev/null 2>&1 &
  program_pid=$!
  local info
  info=$(probe find) || fail "the window did not appear"
  # client X Y window L T R B size W H
  read -r _ client_x client_y _ win_l win_t win_r win_b _ client_w client_h <<<"$info"
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
  echo "window ($win_l, $win_t)-($win_r, $win_b), client origin ($client_x, $client_y), size $client_w x $client_h"
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
  rm -rf "$work"; mkdir -p "$work/started-here"
  cp "$build/deepNUMS.exe" "$work/"
  # The first Wine program on a new display gets a different face for the system font
  # (regular instead of bold); a trivial first program lets deepNUMS look as on a desktop
  # that has been running.
  probe ready

  start_program
  # A first start shows the captions of Wine's user language; the language button names
  # the other one, which the click below switches to.
  local first_button switched saved_language
  first_button=$(probe text 8)
  case $first_button in
    English) switched=Japanese; saved_language=1 ;;
    Japanese) switched=English; saved_language=0 ;;
    *) fail "the language button shows '$first_button'" ;;
  esac
  type_into rect_R1 17 2
  type_into rect_R0 19 3
  wait_text 17 "2"
  wait_text 19 "3"
  click rect_plus 35
  wait_text 19 '5\r\n'
  click rect_language 8
  wait_text 8 "$switched"
  if [ -n "$png" ] && have import; then
    sleep 0.5
    import -window root -crop "$((win_r - win_l))x$((win_b - win_t))+$((win_l + off_x))+$((win_t + off_y))" +repage "$png" \
      && echo "screenshot: $png"
  fi
  stop_program

  # The workspace file: 42 lines with CR LF, the English captions, the last command and
  # the result of "+".
  local ini="$work/deepNUMS.ini"
  [ -f "$ini" ] || fail "no deepNUMS.ini written beside the program"
  [ -z "$(ls -A "$work/started-here")" ] || fail "files written in the current folder: $(ls -A "$work/started-here")"
  local lines crlf
  lines=$(wc -l <"$ini")
  crlf=$(grep -c $'\r$' "$ini")
  [ "$lines" -eq 42 ] && [ "$crlf" -eq 42 ] || fail "deepNUMS.ini has $lines lines, $crlf with CR LF"
  line() { sed -n "${1}p" "$ini" | tr -d '\r'; }
  [ "$(line 1)" = 20 ] && [ "$(line 22)" = 20 ] || fail "section counts: $(line 1), $(line 22)"
  [ "$(line 2)" = "$saved_language" ] || fail "language saved as '$(line 2)', expected $saved_language"
  [ "$(line 14)" = 35 ] || fail "last command saved as '$(line 14)', expected 35"
  [ "$(sed -n 23p "$ini" | od -An -c | tr -s ' ')" = " 5 \r \a \r \n" ] || fail "R0 saved as: $(sed -n 23p "$ini" | od -An -c)"
  local width=$(( $(line 5) - $(line 3) )) height=$(( $(line 6) - $(line 4) ))
  [ "$width" -eq $(( win_r - win_l )) ] && [ "$height" -eq $(( win_b - win_t )) ] \
    || fail "saved window size ${width}x${height}, expected the first start's $(( win_r - win_l ))x$(( win_b - win_t ))"

  # A second start reads the file back: English captions and R0 as saved.
  start_program
  wait_text 8 "$switched"
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
  rm -rf "$work"; mkdir -p "$work/started-here"
  cp "$build/deepNUMS.exe" "$work/"
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
pictures = [f"docs/{p}.png" for p in ["window", "window-ja", "window-1920", "window-ja-1920",
            "window-win32", "window-win32-ja", "window-win32-1920", "window-win32-ja-1920",
            "long-results", "long-results-ja", "installed-win32", "function-list",
            "function-list-win32"]]
want = sorted(f"{top}/{n}" for n in ["deepNUMS.exe", "deepnums-cli.exe", "README.md",
              "docs/manual.md", "docs/windows.md", "docs/manual.html", "docs/windows.html",
              "LICENSE.txt", "THIRD-PARTY-NOTICES.txt"] + pictures)
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

# ---- the installer ----
uninst_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\deepNUMS'

# The Linux path of a folder that a Windows environment variable names (APPDATA, ...).
unix_dir_of() {
  local w
  w=$(wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r')
  winepath -u "$w" 2>/dev/null | sed 's:/$::'
}

# A value of the installer's uninstall key, "" when the key or the value is missing.
uninst_value() {
  wine reg query "$uninst_key" /v "$1" 2>/dev/null | tr -d '\r' \
    | sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}

# The version information and icon of a Windows executable, from its resources (wrestool
# of icoutils): checks that it has an icon group and that its ProductVersion is $version.
check_resources() {
  local exe=$1
  wrestool -l "$exe" 2>/dev/null | grep -q 'type=group_icon' || fail "$(basename "$exe") has no icon"
  local got
  got=$(wrestool -x --raw --type=16 "$exe" 2>/dev/null | python3 -c '
import sys
text = sys.stdin.buffer.read().decode("utf-16-le", "replace")
i = text.find("ProductVersion\0")
print(text[i + 14:].lstrip("\0").split("\0")[0] if i >= 0 else "")')
  [ "$got" = "$version" ] || fail "$(basename "$exe"): ProductVersion '$got', expected $version"
}

# Runs the uninstaller as Apps & features does and waits for it: it copies itself to a
# temporary folder and runs from there, so the first process ends at once; every Wine
# process has ended when wineserver does.
uninstall() {
  wine "$instdir/Uninstall.exe" /S "$@" >/dev/null 2>&1 || fail "Uninstall.exe /S $* exited $?"
  timeout 120 wineserver -w || fail "the uninstaller did not end"
}

install_silently() {
  wine "$setup" /S >/dev/null 2>&1 || fail "$(basename "$setup") /S exited $?"
  [ -f "$instdir/deepNUMS.exe" ] || fail "no deepNUMS.exe in $instdir after the installation"
}

# The installed files are the staged ones, byte for byte, and the uninstaller (and a
# workspace the user keeps beside them).
check_installed() {
  local want got
  want=$(cd "$stage" && find . -type f | sort; echo ./Uninstall.exe)
  got=$(cd "$instdir" && find . -type f ! -path ./deepNUMS.ini | sort)
  [ "$got" = "$(echo "$want" | sort)" ] || fail "installed files differ from the staged ones: $(diff <(echo "$want" | sort) <(echo "$got") | tr '\n' ' ')"
  (cd "$stage" && find . -type f) | while read -r f; do
    cmp -s "$stage/$f" "$instdir/$f" || fail "$f differs from the staged file"
  done || exit 1
}

# A picture of the installed program as a Windows user finds it: Apps & features (Wine's
# Add/Remove Programs) with its entry selected, and the Start menu open at Programs >
# deepNUMS. Both run in a Wine desktop of their own, "Shot", with Wine's taskbar and Start
# menu ("EnableShell"); the test's own desktop stays without. Windows inside a Wine desktop
# are not X windows, so the menus are opened by position and the steps are timed; a
# picture that could not be taken is reported, not failed.
screenshot_menu() {
  local out=$1 w=640 h=540
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops\Shot' /v EnableShell /t REG_DWORD /d 1 /f >/dev/null 2>&1
  (wine explorer "/desktop=Shot,${w}x$h" control appwiz.cpl >/dev/null 2>&1 &)
  if ! xdotool search --sync --limit 1 --name '^Shot - Wine desktop$' >/dev/null 2>&1; then
    echo "no screenshot: the Wine desktop did not appear"; wineserver -k; return 0
  fi
  sleep 3
  # The entry in the list, then Start, Programs, deepNUMS, and the program's entry.
  xdotool mousemove 80 208 click 1; sleep 0.5
  xdotool mousemove 25 $((h - 11)) click 1; sleep 0.8
  xdotool mousemove 40 $((h - 72)); sleep 0.8
  xdotool mousemove 100 $((h - 72)) mousemove 140 $((h - 72)); sleep 0.8
  xdotool mousemove 230 $((h - 72)); sleep 0.8
  import -window root -crop "${w}x$h+0+0" +repage "$out" && echo "screenshot: $out"
  wineserver -k >/dev/null 2>&1 || true
}

do_installer() {
  have makensis || skip "makensis (nsis) not installed"
  have wrestool || skip "wrestool (icoutils) not installed"
  have rsvg-convert || skip "rsvg-convert (librsvg2-bin) not installed"
  have cmark-gfm || skip "cmark-gfm not installed"
  have python3 || skip "python3 not installed"
  [ -f "$build/CMakeCache.txt" ] || fail "no cross build in $build"
  cmake --build "$build" --target installer >"$build/installer.log" 2>&1 \
    || { tail -30 "$build/installer.log"; fail "building the installer"; }
  version=$(sed -n 's/^project(deepNUMS VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
  setup="$build/deepNUMS-$version-win64-setup.exe"
  stage="$build/packaging/installer/stage"
  [ -f "$setup" ] || fail "no $(basename "$setup")"
  work_tmp="$build/installer-test"
  rm -rf "$work_tmp"; mkdir -p "$work_tmp"
  for exe in "$setup" "$build/deepNUMS.exe" "$build/deepnums-cli.exe"; do check_resources "$exe"; done
  echo "$(basename "$setup"): $(( $(stat -c %s "$setup") / 1024 )) KiB; it and the programs carry version $version and the icon"

  wine_env
  start_xvfb
  probe ready
  local appdata localappdata menu workspace
  appdata=$(unix_dir_of APPDATA)
  localappdata=$(unix_dir_of LOCALAPPDATA)
  [ -d "$appdata" ] && [ -d "$localappdata" ] || fail "no APPDATA ($appdata) or LOCALAPPDATA ($localappdata)"
  instdir="$localappdata/Programs/deepNUMS"
  menu="$appdata/Microsoft/Windows/Start Menu/Programs/deepNUMS"
  workspace="$appdata/deepNUMS"
  # What an earlier run may have left in the shared prefix.
  rm -rf "$instdir" "$menu" "$workspace"
  wine reg delete "$uninst_key" /f >/dev/null 2>&1 || true

  # 1. A silent installation, per user: the files, the Start menu, Apps & features.
  install_silently
  check_installed
  check_resources "$instdir/Uninstall.exe"
  [ -f "$menu/deepNUMS.lnk" ] && [ -f "$menu/deepNUMS manual.lnk" ] || fail "Start menu: $(ls "$menu" 2>&1)"
  python3 - "$menu/deepNUMS manual.lnk" <<'PY' || fail "the manual's shortcut does not open docs\manual.html"
import sys
data = open(sys.argv[1], "rb").read()
sys.exit(0 if any(s in data for s in (b"docs\\manual.html", "docs\\manual.html".encode("utf-16-le"))) else 1)
PY
  local win_instdir
  win_instdir=$(winepath -w "$instdir" 2>/dev/null | tr -d '\r')
  [ "$(uninst_value DisplayName)" = "deepNUMS $version" ] || fail "DisplayName '$(uninst_value DisplayName)'"
  [ "$(uninst_value DisplayVersion)" = "$version" ] || fail "DisplayVersion '$(uninst_value DisplayVersion)'"
  [ "$(uninst_value InstallLocation)" = "$win_instdir" ] || fail "InstallLocation '$(uninst_value InstallLocation)'"
  [ "$(uninst_value UninstallString)" = "\"$win_instdir\\Uninstall.exe\"" ] || fail "UninstallString '$(uninst_value UninstallString)'"
  [ "$(uninst_value QuietUninstallString)" = "\"$win_instdir\\Uninstall.exe\" /S" ] || fail "QuietUninstallString '$(uninst_value QuietUninstallString)'"
  [ "$(uninst_value DisplayIcon)" = "$win_instdir\\deepNUMS.exe,0" ] || fail "DisplayIcon '$(uninst_value DisplayIcon)'"
  echo "installed: $(cd "$instdir" && find . -type f | wc -l) files in $win_instdir, two Start-menu entries, the uninstall key"
  if [ -n "$png" ] && have xdotool && have import; then
    screenshot_menu "$png"
  fi
  local got
  got=$(cd "$work_tmp" && wine "$instdir/deepnums-cli.exe" -d 12 2 10 'x^y' 2>&1 | tr -d '\r')
  [ "$got" = 1024 ] || fail "the installed deepnums-cli.exe printed '$got'"

  # 2. Started from its Start-menu entry and closed, the program keeps its workspace in
  # %APPDATA%\deepNUMS, not in the program's folder. While it runs, the uninstaller
  # refuses (exit code 2) and changes nothing.
  (wine start /unix "$menu/deepNUMS.lnk" >/dev/null 2>&1 &)
  probe find >/dev/null || fail "the program's window did not appear"
  wine "$instdir/Uninstall.exe" /S "_?=$win_instdir" >/dev/null 2>&1
  local rc=$?
  [ $rc -eq 2 ] || fail "the uninstaller exited $rc while the program ran, expected 2"
  check_installed
  [ -n "$(uninst_value DisplayName)" ] || fail "the uninstall key went while the program ran"
  probe close >/dev/null || fail "the window did not close"
  timeout 60 wineserver -w || fail "the program did not end"
  [ -f "$workspace/deepNUMS.ini" ] || fail "no deepNUMS.ini in $workspace: $(ls -a "$workspace" "$instdir" 2>&1 | tr '\n' ' ')"
  [ ! -e "$instdir/deepNUMS.ini" ] || fail "the program wrote its workspace beside itself in $instdir"
  [ "$(wc -l <"$workspace/deepNUMS.ini")" -eq 42 ] || fail "deepNUMS.ini has $(wc -l <"$workspace/deepNUMS.ini") lines"
  echo "started from the Start menu and closed: workspace in %APPDATA%\\deepNUMS"

  # 3. A silent uninstallation leaves the workspace and nothing else, and also a
  # workspace the user keeps beside the program.
  cp "$workspace/deepNUMS.ini" "$work_tmp/saved.ini"
  cp "$workspace/deepNUMS.ini" "$instdir/deepNUMS.ini"
  uninstall
  [ "$(ls -A "$workspace")" = deepNUMS.ini ] && cmp -s "$workspace/deepNUMS.ini" "$work_tmp/saved.ini" \
    || fail "the workspace folder after uninstalling: $(ls -A "$workspace" 2>&1)"
  [ "$(ls -A "$instdir")" = deepNUMS.ini ] || fail "the program's folder after uninstalling: $(ls -A "$instdir" 2>&1 | tr '\n' ' ')"
  [ ! -e "$menu" ] || fail "the Start-menu folder is still there: $(ls -A "$menu")"
  [ -z "$(uninst_value DisplayName)" ] || fail "the uninstall key is still there"
  echo "uninstalled silently: only the workspace is left"

  # 4. Installed again over an installation (the earlier one is removed first), then
  # uninstalled with /REMOVEWORKSPACE: nothing is left.
  install_silently
  install_silently
  check_installed
  [ -f "$instdir/deepNUMS.ini" ] && cmp -s "$workspace/deepNUMS.ini" "$work_tmp/saved.ini" \
    || fail "installing again touched the workspace"
  uninstall /REMOVEWORKSPACE
  [ ! -e "$instdir" ] && [ ! -e "$workspace" ] && [ ! -e "$menu" ] \
    || fail "left after /REMOVEWORKSPACE: $(ls -d "$instdir" "$workspace" "$menu" 2>/dev/null | tr '\n' ' ')"
  [ -z "$(uninst_value DisplayName)" ] || fail "the uninstall key is still there"
  echo "installed twice over, uninstalled with /REMOVEWORKSPACE: nothing is left"
}

case "$step" in
  build) do_build ;;
  zip) do_zip ;;
  installer) do_installer ;;
  runners) do_runners ;;
  e2e) do_e2e ;;
  all) ( do_build ) || exit $?; ( do_runners ) || exit $?; ( do_e2e ) || exit $?; ( do_zip ) || exit $?; ( png=; do_installer ) || exit $? ;;
  *) echo "unknown step: $step" >&2; exit 2 ;;
esac

#!/bin/bash
# End-to-end test of the Linux window under Xvfb.
#
#   e2e_qt.sh DEEPNUMS_BINARY SCREENSHOT.png
#
# Starts `deepnums` three times with XDG_CONFIG_HOME in one temporary directory (so the
# workspace file written at each close, config/deepnums/deepNUMS.ini there, is read at the
# next start) and drives it with synthetic clicks and keys:
#   1. switch to English, select radian, tick "Compact mem.", type R1 = 10 and R0 = 3,
#      press "-": the file holds R0 = 7 and those settings;
#   2. restored at the same place and size, untick "Compact mem.", type R1 = 2 and
#      R0 = 10, press "x ^ y" and "pi": the file holds R1 = 1024 and R0 = 3.14159...; a
#      screenshot of the window is saved;
#   3. set 100000 digits, R0 = 100000000, press "!": a press meanwhile is refused with the
#      "Parameter" box; Cancel returns the window to idle within a second; a command after
#      that computes from the texts shown (R1 = 4, R0 = 5, "+" gives 9);
#   4. SIGTERM during a command: cancelled and saved;
#   5. from the keyboard alone on a Japanese user's first start (no workspace file,
#      LANG=ja_JP.UTF-8): 2, Tab, 3, Ctrl++ and Ctrl+Z bring R1 = 2 and R0 = 3 back, and
#      the status line says so in Japanese (a screenshot shows the focus);
#   6. Ctrl+-, Ctrl+Z, Ctrl+Y and Return ("up") from the keyboard.
#
# The locale is the test's own, whatever the machine's: sessions 1 to 4 run under
# LANG=C.UTF-8, sessions 5 and 6 under LANG=ja_JP.UTF-8 (the locale need not be installed:
# the program and the font configuration read the variable). The locale chooses the
# first start's language and, through the font configuration, the captions' face, and
# with it the size of a character cell.
#
# Where to click: the layout is in tenths of a character cell of the window's font, and a
# first start opens the window at its default size of 154 columns + 10 pixels by 51 lines.
# Under Xvfb there is no window manager, so the outer size is the window's own size, and
# the test derives the cell from it: char_width = (width - 10) / 154, char_height =
# height / 51, both exact. Button centres then follow from the control table's rectangles.
# The window is closed as a user closes it, with the WM_DELETE_WINDOW protocol message.
#
# Exit 77 (skipped) when Xvfb, xdotool, ImageMagick or python3 are missing.
HERE="$(cd "$(dirname "$0")" && pwd)"
set -u
unset LC_ALL LC_MESSAGES LC_CTYPE LANGUAGE
export LANG=C.UTF-8

if [ "${1:-}" != "--inside" ]; then
  for tool in xvfb-run Xvfb xdotool import compare python3; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "SKIP: $tool is not installed"
      exit 77
    fi
  done
  if [ $# -lt 2 ] || [ ! -x "$1" ]; then
    echo "usage: $0 DEEPNUMS_BINARY SCREENSHOT.png" >&2
    exit 2
  fi
  exec xvfb-run -n 200 -a -s "-screen 0 1920x1080x24" "$0" --inside "$@"
fi
shift
BIN=$(realpath "$1")
SHOT=$2
WORK=$(mktemp -d /tmp/deepnums_e2e_XXXXXX)
TITLE="deepNUMS : 100,000 digits Scientific Calculator R1.30"
APP_PID=""
APP_LANG=C.UTF-8
echo "work directory: $WORK"

fail() {
  echo "FAIL: $*"
  [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null
  [ -f "$WORK/stderr.txt" ] && sed 's/^/  deepnums: /' "$WORK/stderr.txt"
  exit 1
}

# Rectangles of the controls used, in tenths of a character cell (left top right bottom),
# as the control table gives them.
declare -A RECT=(
  [2]="140 20 200 32"       # significant digits field
  [8]="260 5 350 17"        # language button
  [17]="35 236 1510 300"    # R1
  [32]="15 420 140 432"     # "radian"
  [33]="10 440 145 452"     # "Compact mem."
  [19]="35 303 1510 367"    # R0
  [35]="155 390 175 402"    # "+"
  [36]="155 405 175 417"    # "-"
  [47]="245 420 300 432"    # "x ^ y"
  [63]="425 435 480 447"    # "pi"
  [85]="725 390 780 402"    # "!"
  [95]="855 390 1010 402"   # "Perform the following"
  [96]="855 405 920 417"    # "Cancel"
)


# Checks texts and settings of the workspace file: NAME=VALUE (or NAME^=PREFIX) with
# R0..R9, status, digits, or set<N> for Settings[N]. Texts are compared without their
# final line break.
cat >"$WORK/check_ini.py" <<'EOF'
import sys
data = open(sys.argv[1], "rb").read()
lines = data.split(b"\r\n")
if len(lines) != 43 or lines[42] != b"" or lines[0] != b"20" or lines[21] != b"20":
    sys.exit("workspace file is not 42 CR LF lines: %r" % data[:200])
settings = [int(v) for v in lines[1:21]]
texts = [t.replace(b"\x07", b"\n").replace(b"\r\n", b"\n").decode("utf-8", "replace")
         for t in lines[22:42]]
names = {"R%d" % n: n for n in range(10)}
names.update(script=15, status=16, digits=17)
bad = []
for check in sys.argv[2:]:
    key, want = check.split("=", 1)
    prefix = key.endswith("^")
    key = key.rstrip("^")
    got = str(settings[int(key[3:])]) if key.startswith("set") else texts[names[key]].rstrip("\n")
    if (not got.startswith(want)) if prefix else got != want:
        bad.append("%s: want %r, got %r" % (key, want, got[:80]))
if bad:
    sys.exit("; ".join(bad))
EOF

start_app() {
  (cd "$WORK" && XDG_CONFIG_HOME="$WORK/config" LANG="$APP_LANG" exec "$BIN" 2>>"$WORK/stderr.txt") &
  APP_PID=$!
  WID=""
  for _ in $(seq 1 200); do
    WID=$(xdotool search --onlyvisible --name "^${TITLE}\$" 2>/dev/null | head -1)
    [ -n "$WID" ] && break
    kill -0 "$APP_PID" 2>/dev/null || fail "deepnums exited at start"
    sleep 0.1
  done
  [ -n "$WID" ] || fail "no window titled '$TITLE'"
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$WID")"
  timeout 5 xdotool windowfocus --sync "$WID" 2>/dev/null || true
}

# A control's rectangle in client pixels (PL PT PR PB), as control_rect lays it out for the
# window's size: the table's tenths in pixels, then the stretch. The client area is the
# window (no frame, no scroll bars at these sizes); the content's natural size is 1520 by
# 490 tenths and its least 1030 by 320. The register boxes R4..R0 (ids 11..19) grow down
# by 1, 1, 1, 1, 4 eighths of the extra height (or shrink by fifths of a lack), the rows
# below them move by all of it; the register boxes, the status line and the script box
# grow across by the extra width.
layout_rect() {
  local id=$1 l t r b
  read -r l t r b <<<"${RECT[$id]}"
  local sx=$((WIDTH - 1520 * CW / 10)) sy=$((HEIGHT - 490 * CH / 10))
  local min_sx=$(((1030 - 1520) * CW / 10)) min_sy=$(((320 - 490) * CH / 10))
  [ $sx -lt $min_sx ] && sx=$min_sx
  [ $sy -lt $min_sy ] && sy=$min_sy
  PL=$((l * CW / 10)); PR=$((r * CW / 10)); PT=$((t * CH / 10)); PB=$((b * CH / 10))
  share() {  # the part of sy above register box $1 (0 = R4 .. 5 = all)
    local grow=(0 1 2 3 4 8)
    if [ $sy -ge 0 ]; then echo $((sy * grow[$1] / 8)); else echo $((-(-sy * $1 / 5))); fi
  }
  if [ "$id" -ge 11 ] && [ "$id" -le 19 ] && [ $((id % 2)) -eq 1 ]; then
    local k=$(((id - 11) / 2))
    PT=$((PT + $(share $k))); PB=$((PB + $(share $((k + 1)))))
    PR=$((PR + sx))
  elif [ "$t" -ge 368 ]; then
    PT=$((PT + sy)); PB=$((PB + sy))
  fi
  case $id in 97|98) PR=$((PR + sx)) ;; esac
}

# Centre of a control in screen pixels.
centre() {
  layout_rect "$1"
  CX=$((X + (PL + PR) / 2))
  CY=$((Y + (PT + PB) / 2))
}

click() {
  centre "$1"
  xdotool mousemove "$CX" "$CY" click 1
  sleep 0.3
}

type_into() {
  click "$1"
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 15 "$2"
  sleep 0.2
}

# A crop of one control from the screen.
grab_control() {
  layout_rect "$1"
  local x0=$((X + PL)) y0=$((Y + PT))
  local w=$((PR - PL)) h=$((PB - PT))
  import -window root -crop "${w}x${h}+${x0}+${y0}" +repage "$2"
}

same_image() {
  [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = "0" ]
}

close_app() {
  python3 "$HERE/xclose.py" "$WID" || fail "could not send the close message"
  for _ in $(seq 1 150); do
    kill -0 "$APP_PID" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$APP_PID" 2>/dev/null && fail "deepnums did not end after the close message"
  wait "$APP_PID"
  local rc=$?
  APP_PID=""
  [ $rc -eq 0 ] || fail "deepnums ended with exit code $rc"
}

check_ini() {
  python3 "$WORK/check_ini.py" "$WORK/config/deepnums/deepNUMS.ini" "$@" || fail "workspace file after $STEP"
}

# ---- 1. first start: default size, English, "-" ----
STEP="session 1"
# A workspace that holds only the Japanese captions, as a Japanese user's first start
# shows them, whatever the locale of the test.
mkdir -p "$WORK/config/deepnums"
printf '1\r\n0\r\n0\r\n' >"$WORK/config/deepnums/deepNUMS.ini"
start_app
[ $(((WIDTH - 10) % 154)) -eq 0 ] && [ $((HEIGHT % 51)) -eq 0 ] ||
  fail "first window is ${WIDTH}x${HEIGHT}, not a default size"
CW=$(((WIDTH - 10) / 154))
CH=$((HEIGHT / 51))
echo "window ${WIDTH}x${HEIGHT} at $X,$Y: char_width $CW, char_height $CH"
FIRST_GEOMETRY="$X $Y $WIDTH $HEIGHT"
import -window "$WID" "$WORK/japanese.png"
click 8
click 32
click 33
type_into 17 10
type_into 19 3
click 36
sleep 1
close_app
check_ini R0=7 R1=3 R2=10 set0=1 set11=1 set13=1 set12=36 status=
echo "ok: R1 = 10, R0 = 3, \"-\" gave R0 = 7"

# ---- 2. restored start: "x ^ y", screenshot ----
STEP="session 2"
start_app
[ "$X $Y $WIDTH $HEIGHT" = "$FIRST_GEOMETRY" ] ||
  fail "window restored at $X $Y $WIDTH $HEIGHT, closed at $FIRST_GEOMETRY"
click 33
type_into 17 2
type_into 19 10
click 47
sleep 1
click 63
sleep 1
xdotool mousemove $((X + WIDTH - 40)) $((Y + 10))
sleep 0.3
grab_control 96 "$WORK/cancel_idle.png"
import -window "$WID" "$SHOT" || fail "no screenshot"
close_app
check_ini "R0^=3. 1415926535897932384 62643383279502884197" R1=1024 R2=10 R3=2 R4=10 set11=1 set13=0 set12=63
echo "ok: R1 = 2, R0 = 10, \"x ^ y\" gave 1024, then \"pi\"; screenshot in $SHOT"

# ---- 3. a long command, a refused press, Cancel ----
STEP="session 3"
start_app
type_into 2 100000
type_into 19 100000000
click 85
sleep 1.5
grab_control 96 "$WORK/cancel_running.png"
same_image "$WORK/cancel_idle.png" "$WORK/cancel_running.png" &&
  fail "\"!\" of 100000000 at 100000 digits is not running after 1.5 s"
import -window "$WID" "$WORK/running.png"
click 35
BOX=""
for _ in $(seq 1 50); do
  BOX=$(xdotool search --onlyvisible --name '^Parameter$' 2>/dev/null | head -1)
  [ -n "$BOX" ] && break
  sleep 0.1
done
[ -n "$BOX" ] || fail "a press during the run showed no \"Parameter\" box"
import -window root "$WORK/refused.png"
python3 "$HERE/xclose.py" "$BOX"
sleep 0.5
xdotool search --onlyvisible --name '^Parameter$' >/dev/null 2>&1 && fail "the refusal box did not close"
click 96
T0=$(date +%s%N)
xdotool mousemove $((X + WIDTH - 40)) $((Y + 10))
IDLE=""
while [ $((($(date +%s%N) - T0) / 1000000)) -lt 1000 ]; do
  grab_control 96 "$WORK/cancel_after.png"
  if same_image "$WORK/cancel_idle.png" "$WORK/cancel_after.png"; then
    IDLE=$((($(date +%s%N) - T0) / 1000000))
    break
  fi
  sleep 0.05
done
[ -n "$IDLE" ] || fail "the window was not idle within a second of Cancel"
echo "ok: idle ${IDLE} ms after Cancel (measured through screenshots)"
import -window "$WID" "$WORK/cancelled.png"
type_into 17 4
type_into 19 5
click 35
sleep 1
close_app
check_ini R0=9 R1=5 R2=4 digits=100000 set12=35 status=
echo "ok: after Cancel, R1 = 4, R0 = 5, \"+\" gave R0 = 9"
# ---- 4. SIGTERM while a command runs: closed as by the user, the run cancelled ----
STEP="session 4 (SIGTERM)"
start_app
type_into 19 100000000
click 85
sleep 1
kill -TERM "$APP_PID"
for _ in $(seq 1 150); do
  kill -0 "$APP_PID" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$APP_PID" 2>/dev/null && fail "deepnums did not end after SIGTERM"
wait "$APP_PID"
rc=$?
APP_PID=""
[ $rc -eq 0 ] || fail "deepnums ended with exit code $rc after SIGTERM"
check_ini R0=100000000 set12=85 status=aborted
echo "ok: SIGTERM during \"!\" cancelled it and saved the workspace"

# ---- 5. the keyboard alone: 2, Tab, 3, the key of "+", Ctrl+Z ----
STEP="session 5 (keyboard)"
# A Japanese user's first start: the Japanese captions, the focus in R1, its "0" selected.
rm "$WORK/config/deepnums/deepNUMS.ini"
APP_LANG=ja_JP.UTF-8
start_app
xdotool type --delay 30 2
xdotool key Tab
xdotool type --delay 30 3
xdotool key ctrl+plus
sleep 1
xdotool key ctrl+z
sleep 0.5
import -window "$WID" "$WORK/keys.png"
close_app
check_ini R0=3 R1=2 R2=0 set0=0 "status=元に戻しました: +"
echo "ok: 2, Tab, 3, Ctrl++, Ctrl+Z: R1 = 2 and R0 = 3 back"

# ---- 6. redo, Return as "up", Esc when idle ----
STEP="session 6 (keyboard)"
start_app
xdotool type --delay 30 10
xdotool key Tab
xdotool type --delay 30 3
xdotool key ctrl+minus
sleep 1
xdotool key ctrl+z ctrl+y Escape Return
sleep 1
close_app
check_ini R0=0 R1=7 R2=3 R3=10 set12=40
echo "ok: 10, Tab, 3, Ctrl+-, Ctrl+Z, Ctrl+Y, Return: R1 = 7 and the stack lifted"

# The screenshots of the steps go beside the main one; the work directory is kept only
# when the test fails.
SHOTDIR=$(dirname "$SHOT")
for step in japanese running refused cancelled keys; do
  cp "$WORK/$step.png" "$SHOTDIR/e2e-$step.png"
done
rm -rf "$WORK"
echo "PASS (screenshots of the steps in $SHOTDIR/e2e-*.png)"

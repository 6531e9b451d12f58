#!/usr/bin/env bash
# Saves that fail, and saves that are killed: nothing of the user's numbers is lost.
#   fault_injection.sh cli    CLI SHIM     each failing step of a save (the shim): exit 2
#                                          with the reason, the old file whole, no temporary
#   fault_injection.sh kill   CLI SHIM     kill -9 during saves (made slow by the shim):
#                                          the file is always one whole state, and the next
#                                          save leaves no temporary
#   fault_injection.sh window WINDOW SHIM  the window under Xvfb with a save that fails:
#                                          asked at a close (Cancel keeps it open), a rescue
#                                          file at SIGTERM; SIGTERM during the start saves
# Exit 77 (skipped) where the tools are missing or under the sanitizers (whose runtime
# must be loaded first, before any shim).
set -u
HERE="$(cd "$(dirname "$0")" && pwd)"
GROUP=$1
WORK=$(mktemp -d)
APP_PID=""
XVFB_PID=""
cleanup() {
  [ -n "$APP_PID" ] && kill -9 "$APP_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
[ -n "${ASAN_OPTIONS:-}" ] && { echo "skipped under the sanitizers"; exit 77; }

# Every step of a save that can fail, as the errors of real file systems show them.
FAULTS="create:EACCES create:EROFS create:ENAMETOOLONG fsync:ENOSPC fsync:EIO rename:EROFS"
reason() {  # the strerror text of an errno name
  python3 -c "import errno, os, sys; print(os.strerror(getattr(errno, sys.argv[1])))" "$1"
}
temporaries() { find "$1" -type f ! -name ws.ini | wc -l; }  # whatever a save left beside the file

case "$GROUP" in
cli)
  CLI=$2 SHIM=$3
  cd "$WORK" || exit 1
  "$CLI" -w ws.ini -d 12 1 >/dev/null || exit 1
  before=$(cat ws.ini)
  for f in $FAULTS; do
    out=$(DEEPNUMS_FAULT=$f LD_PRELOAD=$SHIM "$CLI" -w ws.ini -d 12 5 + 2>&1 </dev/null)
    rc=$?
    [ "$rc" = 2 ] || fail "$f: exit $rc, not 2"
    [[ "$out" == *"cannot write workspace file 'ws.ini': $(reason "${f#*:}")"* ]] || fail "$f: [$out]"
    [ "$(cat ws.ini)" = "$before" ] || fail "$f: the old file changed"
    [ "$(temporaries .)" = 0 ] || fail "$f: a temporary was left"
  done
  ;;
kill)
  CLI=$2 SHIM=$3
  cd "$WORK" || exit 1
  big=$(printf '7%.0s' $(seq 1 100000))
  "$CLI" -w ws.ini -d 100000 --plain "R0=$big" dup dup dup dup >/dev/null || exit 1
  for i in $(seq 1 20); do
    DEEPNUMS_FAULT=fsync:SLOW LD_PRELOAD=$SHIM "$CLI" -w ws.ini -d 100000 --plain "R0=$i$big" >/dev/null 2>&1 &
    pid=$!
    sleep "0.$((RANDOM % 3 + 1))"
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    lines=$(tr -cd '\n' <ws.ini | wc -c)
    [ "$lines" = 42 ] || fail "after kill $i: $lines lines"
  done
  left=$(temporaries .)
  echo "$left temporaries left by 20 kills"
  [ "$left" -gt 0 ] || fail "no kill landed in a save"
  "$CLI" -w ws.ini -d 12 dup >/dev/null || fail "the save after the kills"
  [ "$(temporaries .)" = 0 ] || fail "the next save left $(temporaries .) temporaries"
  ;;
window)
  WINDOW=$2 SHIM=$3
  for tool in Xvfb xdotool python3; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool missing"; exit 77; }
  done
  for n in $(seq 140 190); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    export DISPLAY=":$n"
    break
  done
  export XDG_CONFIG_HOME="$WORK/config" XDG_STATE_HOME="$WORK/state" XDG_RUNTIME_DIR="$WORK"
  TITLE='^deepNUMS : 100,000 digits Scientific Calculator R1\.30$'
  start() {  # [ENV=VALUE...]: starts the window, waits for it
    (cd "$WORK" && exec env "$@" "$WINDOW" 2>>"$WORK/stderr.txt") &
    APP_PID=$!
    WID=""
    for _ in $(seq 100); do
      WID=$(xdotool search --onlyvisible --name "$TITLE" 2>/dev/null | head -1)
      [ -n "$WID" ] && return 0
      sleep 0.1
    done
    fail "no window"
  }
  ended() {  # seconds: true when the window's process ended within them
    for _ in $(seq $(($1 * 10))); do kill -0 "$APP_PID" 2>/dev/null || return 0; sleep 0.1; done
    return 1
  }

  # A close that cannot save asks; Cancel keeps the window and its state; SIGTERM, which
  # nobody can answer, keeps the state in a rescue file and says where.
  start DEEPNUMS_FAULT=fsync:ENOSPC:/config/ LD_PRELOAD="$SHIM"
  sleep 0.5
  timeout 5 xdotool windowfocus --sync "$WID" 2>/dev/null
  xdotool type --delay 30 42  # into R1, where a start puts the focus
  python3 "$HERE/../ui/xclose.py" "$WID"
  box=""
  for _ in $(seq 50); do
    box=$(xdotool search --onlyvisible --name '^deepNUMS$' 2>/dev/null | head -1)
    [ -n "$box" ] && break
    sleep 0.1
  done
  [ -n "$box" ] || fail "no question after a close that could not save"
  timeout 5 xdotool windowfocus --sync "$box" 2>/dev/null
  xdotool key Escape
  sleep 0.5
  kill -0 "$APP_PID" 2>/dev/null || fail "Cancel (Escape) did not keep the window open"
  kill -TERM "$APP_PID"
  ended 10 || fail "SIGTERM did not end the window"
  rescue=$(find "$WORK/state/deepnums" -name 'rescue-*.ini' 2>/dev/null | head -1)
  [ -n "$rescue" ] || fail "no rescue file"
  [ -n "$rescue" ] && { grep -q $'^42\r$' "$rescue" || fail "the rescue file lacks R1's 42"; }
  grep -q "No space left on device); it was kept in $rescue" "$WORK/stderr.txt" ||
    fail "standard error does not name the rescue file: $(cat "$WORK/stderr.txt")"

  # SIGTERM at once, while the toolkit starts: the window saves as soon as it stands.
  rm -rf "$WORK/config"
  (cd "$WORK" && exec "$WINDOW" 2>>"$WORK/stderr.txt") &
  APP_PID=$!
  sleep 0.05
  kill -TERM "$APP_PID"
  ended 20 || fail "SIGTERM during the start did not end the window"
  [ -f "$WORK/config/deepnums/deepNUMS.ini" ] || fail "SIGTERM during the start saved nothing"
  APP_PID=""
  ;;
*)
  echo "unknown group $GROUP" >&2
  exit 2
  ;;
esac
[ "$failures" = 0 ] && echo "PASS $GROUP" || echo "$failures failures"
[ "$failures" = 0 ]

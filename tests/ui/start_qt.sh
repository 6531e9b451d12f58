#!/bin/bash
# The Linux program's start without a window: --help and --version print and exit 0,
# --workspace without a file name is a usage error (exit 2);
# without a display (no variable, or one that cannot be opened) a plain message and
# exit 1, never the toolkit's abort.
#   start_qt.sh DEEPNUMS_BINARY
set -u
BIN=$1
failures=0
check() {  # NAME WANT_RC WANT_TEXT -- COMMAND...
  local name=$1 want_rc=$2 want=$3
  shift 4
  local out rc
  out=$("$@" 2>&1 </dev/null)
  rc=$?
  if [ "$rc" != "$want_rc" ] || [[ "$out" != *"$want"* ]]; then
    echo "FAIL $name: exit $rc (want $want_rc), output [$out]"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}
check help 0 "usage: deepnums" -- "$BIN" --help
check version 0 "MIT License" -- "$BIN" --version
check workspace-without-file 2 "--workspace needs a file name" -- "$BIN" -w
check no-variable 1 "no display found" -- env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$BIN"
check bad-display 1 "deepnums-cli" -- env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:4711 "$BIN"
[ "$failures" = 0 ]

#!/usr/bin/env bash
# End-to-end runs of deepnums-cli: cli_e2e.sh CLI GROUP. Every case prints what it ran
# and what differed; the script fails when any case of the group failed.
set -u
CLI="$1"
GROUP="$2"
TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT
failures=0

# expect NAME WANT_STDOUT WANT_RC [--stderr SUBSTRING] [--head N] -- ARGS...
# --head N compares only the first N lines of standard output (0: ignores it).
expect() {
  local name="$1" want_out="$2" want_rc="$3"
  shift 3
  local want_err="" head=""
  while [ "$1" != "--" ]; do
    case "$1" in
      --stderr) want_err="$2"; shift 2 ;;
      --head) head="$2"; shift 2 ;;
      *) echo "bad expect option $1"; exit 2 ;;
    esac
  done
  shift
  local out err rc
  "$CLI" "$@" >"$TMP/stdout" 2>"$TMP/stderr" </dev/null
  rc=$?
  if [ -n "$head" ]; then
    out="$(head -n "$head" "$TMP/stdout")"
  else
    out="$(cat "$TMP/stdout")"
  fi
  err="$(cat "$TMP/stderr")"
  if [ "$out" != "$want_out" ] || [ "$rc" != "$want_rc" ] ||
     { [ -n "$want_err" ] && [[ "$err" != *"$want_err"* ]]; }; then
    echo "FAIL $name: deepnums-cli $*"
    echo "  stdout: [$out] want [$want_out]"
    echo "  exit:   $rc want $want_rc"
    echo "  stderr: [$err]${want_err:+ want to contain [$want_err]}"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

case "$GROUP" in
grammar)
  expect bare-third ".33333333333333333" 0 -- --no-exact -d 12 --bare 1 3 /
  expect caption-blanks "1024" 0 -- -d 12 2 10 'x ^ y'
  expect caption-squeezed "1024" 0 -- -d 12 2 10 x^y
  expect alias "1024" 0 -- -d 12 2 10 pow
  expect by-code "7" 0 -- -d 12 10 3 '#36'
  expect negative-number "-7" 0 -- -d 12 -10 3 +
  expect point-number ".75" 0 -- -d 12 .5 .25 +
  expect register-text "7" 0 -- -d 12 R1=10 R0=3 -
  expect options-anywhere "7" 0 -- 10 3 - -d 12
  expect double-dash "-3" 0 -- -d 12 -- 0 3 -
  expect digit-caption ".25" 0 -- -d 12 4 1/x
  # A number alone is printed as the calculator shows its value; a token that only
  # begins like a number is a usage error.
  expect typed-value "1000" 0 -- -d 12 1e3
  expect typed-grouped "1234567. 5" 0 -- -d 12 1,234,567.50
  expect typed-registers "$(printf 'R0: 1e3\nR1: -0.5\nR2: abc')" 0 --head 3 -- -d 12 -r 1e3 R1=-0.5 R2=abc
  expect hex-like "" 2 --stderr "'0x10' is not a number" -- 0x10
  expect trailing-letters "" 2 --stderr "'12abc' is not a number" -- 12abc
  expect fraction-like "" 2 --stderr "'1/2' is not a number" -- 1/2 abs
  # The digits field takes the title's digit groups; anything else after the digits is
  # refused.
  for digits in "100,000" "100 000" "100_000" "100'000"; do
    n=$("$CLI" -d "$digits" --plain pi </dev/null | wc -c)
    [ "$n" = 100002 ] || { echo "FAIL digits-grouped $digits: $n characters"; failures=$((failures + 1)); }
  done
  expect digits-junk "0" 1 --stderr "Invalid number of Significant digit" -- -d 100.000 pi
  expect grouped "12345678901234567890 1" 0 -- -d 30 123456789012345678901 1 '*'
  expect plain "123456789012345678901" 0 -- -d 30 --plain 123456789012345678901 1 '*'
  expect version "$(printf 'deepnums-cli (deepNUMS) 1.30\nCopyright (C) 2026 The deepNUMS authors; MIT License, with NO WARRANTY.')" 0 -- --version
  ;;
arithmetic)
  # The defined algorithms and "Exact digits" agree on all of these; both are run on purpose.
  for mode in --no-exact --exact; do
    expect "${mode#--}/sub" "7" 0 -- $mode -d 12 10 3 -
    expect "${mode#--}/rem" "89" 0 -- $mode -d 12 270 181 %
    expect "${mode#--}/rem-neg" "-89" 0 -- $mode -d 12 -270 181 %
    expect "${mode#--}/roff-neg" "20" 0 -- $mode -d 12 18.56785678 -1 R.Off
    expect "${mode#--}/roff-two" "18. 57" 0 -- $mode -d 12 18.56785678 2 round
    expect "${mode#--}/neg-zero" "0" 0 -- $mode -d 12 0 +/-
    expect "${mode#--}/ep" "-2" 0 -- $mode -d 12 0.05 EP
    expect "${mode#--}/fill9" "1.5999999999999999" 0 -- $mode -d 12 --bare --plain 1.5 'fill w/9'
    expect "${mode#--}/fill9-mid" "10.059999999999999" 0 -- $mode -d 12 --bare --plain 10.05 fillw/9
    expect "${mode#--}/recip-zero" "$(printf 'R0: ERROR\nR1: 0')" 4 --head 2 --stderr "ERROR: division by zero" -- $mode -d 12 0 1/x -r
    expect "${mode#--}/ip" "-2" 0 -- $mode -d 12 -2.7 IP
    expect "${mode#--}/fp" "-.7" 0 -- $mode -d 12 -2.7 FP
    expect "${mode#--}/cube" "-27" 0 -- $mode -d 12 -3 'x ^ 3'
    expect "${mode#--}/div-zero" "ERROR" 4 --stderr "ERROR: division by zero" -- $mode -d 12 1 0 /
  done
  # A fresh start computes exact digits; --no-exact selects the defined algorithms.
  expect default-exact "-.4875060250875106915 27794294348" 0 -- -d 30 --radian 1e10 sin
  expect no-exact "-.4875060250875106915 27793864725" 0 -- --no-exact -d 30 --radian 1e10 sin
  expect no-exact-value "" 2 --stderr "takes no value" -- --no-exact=1 1
  ;;
registers)
  expect up-down "$(printf 'R0: 2\nR1: 3\nR2: 4\nR3: 0\nR4: 0')" 0 --head 5 -- -d 12 -r 5 4 3 2 1 up down down
  expect swap-twice "$(printf 'R0: 1\nR1: 2')" 0 --head 2 -- -d 12 -r 2 1 swap 0\<-\>1
  expect store-recall "$(printf 'R0: 123456789012345678901234567890123456789012345678901234567890\nR1: 8')" 0 --head 2 \
    -- -d 12 -r 8 123456789012345678901234567890123456789012345678901234567890 '->R7' 'R7->'
  expect clr "$(printf 'R0: 0\nR1: 5')" 0 --head 2 -- -d 12 -r 5 '->R7' 5 CLR7 'R7->'
  expect aclr "$(printf 'R0: 0\nR1: 0')" 0 --head 2 -- -d 12 -r 1 2 ACLR
  # R5..R9 are printed with their full texts.
  long=123456789012345678901234567890123456789012345678901234567890
  out="$("$CLI" -d 12 -r $long '->R6' </dev/null | sed -n 7p)"
  if [ "$out" != "R6: $long" ]; then echo "FAIL full-memory-text: [$out]"; failures=$((failures + 1)); else echo "ok   full-memory-text"; fi
  ;;
exit_codes)
  expect refused "0" 1 --stderr "Invalid number of Significant digit" -- -d 5 5
  expect refused-stops "0" 1 --stderr "Invalid number of Significant digit" -- -d abc 5 3 +
  expect unknown-option "" 2 --stderr "unknown option '--bogus'" -- --bogus 1
  expect unknown-token "" 2 --stderr "unknown token 'foo'" -- 1 foo 2
  expect bad-code "" 2 --stderr "#1x" -- '#1x'
  expect r5-text "" 2 --stderr "R5=" -- R5=1
  expect missing-value "" 2 --stderr "needs a value" -- -d
  expect missing-script "" 2 --stderr "cannot read script file" -- -s "$TMP/none.txt" run
  expect not-supported "0" 0 --stderr "Not yet supported" -- '#88'
  "$CLI" --help | grep -q "x ^ y" || { echo "FAIL help"; failures=$((failures + 1)); }
  # Memory is reserved as it is needed: --version and the defined algorithms run in a
  # 32 MB address space, and what does not fit says so (not under the sanitizers, whose
  # shadow memory needs more).
  if [ -z "${ASAN_OPTIONS:-}" ]; then
    out="$( (ulimit -v 32768; "$CLI" --version) 2>&1 | head -1)"
    [ "$out" = "deepnums-cli (deepNUMS) 1.30" ] || { echo "FAIL small-version: [$out]"; failures=$((failures + 1)); }
    want="$("$CLI" --no-exact -d 100000 --plain 2 sqrt </dev/null)"
    out="$( (ulimit -v 32768; "$CLI" --no-exact -d 100000 --plain 2 sqrt </dev/null) 2>&1)"
    [ "$out" = "$want" ] || { echo "FAIL small-defined: [${out:0:80}]"; failures=$((failures + 1)); }
    out="$( (ulimit -v 32768; "$CLI" -d 100000 2 exp </dev/null) 2>&1)"
    [[ "$out" == *"Exact digits: not enough working memory"*"ERROR" ]] || { echo "FAIL small-exact: [$out]"; failures=$((failures + 1)); }
    out="$( (ulimit -v 21000; "$CLI" -d 12 2 sqrt </dev/null; echo "rc=$?") 2>&1)"
    [[ "$out" == *"Not enough memory for this operation"*"rc=1" ]] || { echo "FAIL no-thread: [$out]"; failures=$((failures + 1)); }
  fi
  # A usage error runs nothing: the workspace file is not written.
  "$CLI" -w "$TMP/ws.ini" 1 foo 2>/dev/null
  [ ! -e "$TMP/ws.ini" ] || { echo "FAIL usage-error-wrote-workspace"; failures=$((failures + 1)); }
  ;;
workspace)
  expect first "5" 0 -- -w "$TMP/ws.ini" -d 12 5
  expect second "8" 0 -- -w "$TMP/ws.ini" 3 +
  lines=$(wc -l <"$TMP/ws.ini")
  [ "$lines" = 42 ] || { echo "FAIL workspace lines: $lines"; failures=$((failures + 1)); }
  grep -q $'^12\r$' "$TMP/ws.ini" || { echo "FAIL digits saved"; failures=$((failures + 1)); }
  expect third "$(printf 'R0: 8\nR1: 3\nR2: 5')" 0 --head 3 -- -w "$TMP/ws.ini" -r
  # A 100,000-digit register survives the file.
  big="$(printf '7%.0s' $(seq 1 100000))"
  expect big-in "" 0 --head 0 -- -w "$TMP/big.ini" -d 100000 --plain "R0=$big" dup
  out="$("$CLI" -w "$TMP/big.ini" -r </dev/null | sed -n 2p)"
  [ "$out" = "R1: $big" ] || { echo "FAIL big register (${#out} chars)"; failures=$((failures + 1)); }
  # A register read from the file keeps its text byte for byte until a command changes
  # it, whatever the precision of the runs in between.
  for digits in 12 1000 100000; do
    cp "$TMP/big.ini" "$TMP/keep.ini"
    "$CLI" -w "$TMP/keep.ini" -d "$digits" >/dev/null </dev/null
    "$CLI" -w "$TMP/keep.ini" -d "$digits" CLR5 >/dev/null </dev/null
    out="$("$CLI" -w "$TMP/keep.ini" -d 100000 --plain </dev/null)"
    [ "$out" = "$big" ] || { echo "FAIL kept at $digits digits (${#out} chars)"; failures=$((failures + 1)); }
  done
  expect typed-kept "1000" 0 -- -w "$TMP/typed.ini" -d 12 1e3
  grep -q $'^1e3\r$' "$TMP/typed.ini" || { echo "FAIL typed text saved as typed"; failures=$((failures + 1)); }
  # A file made by the command line records the first start's language, as the window
  # would: Japanese (0) under a Japanese locale, English (1) otherwise.
  for lang in ja_JP.UTF-8:0 C.UTF-8:1; do
    rm -f "$TMP/lang.ini"
    LC_ALL= LC_MESSAGES= LANG=${lang%:*} "$CLI" -w "$TMP/lang.ini" 1 >/dev/null 2>&1 </dev/null
    [ "$(sed -n 2p "$TMP/lang.ini" | tr -d '\r')" = "${lang#*:}" ] ||
      { echo "FAIL language of a fresh file under ${lang%:*}: $(sed -n 2p "$TMP/lang.ini")"; failures=$((failures + 1)); }
  done
  mkdir -p "$TMP/dir.ini"
  expect unreadable "" 2 --stderr "cannot read workspace file" -- -w "$TMP/dir.ini" 1
  ;;
script)
  printf 'loop 3,+\n' >"$TMP/s1.txt"
  expect loop "5" 0 --stderr "total=" -- -d 12 -s "$TMP/s1.txt" 2 3 run
  expect loop-once "0" 0 --stderr "sec/1loop" -- -d 12 -s "$TMP/s1.txt"
  printf 'loop 1,+\r\n\r\nbogus\r\n' >"$TMP/s2.txt"
  expect invalid "5" 3 --stderr "Invalid command: line = 2" -- -d 12 -s "$TMP/s2.txt" 2 3 run
  expect invalid-stops "5" 3 --stderr "Invalid command" -- -d 12 -s "$TMP/s2.txt" 2 3 run 1 +
  expect invalid-once "0" 3 --stderr "Invalid command: line = 2" -- -d 12 -s "$TMP/s2.txt"
  printf '# 精度の確認\nloop 1,+  # 足し算 (UTF-8 comment)\n' >"$TMP/s4.txt"
  expect comments "5" 0 --stderr "total=" -- -d 12 -s "$TMP/s4.txt" 2 3 run
  printf 'ln10\n' >"$TMP/s3.txt"
  expect ln10 "2. 30258509299" 0 -- -d 12 -s "$TMP/s3.txt" run
  expect script-alias "2. 30258509299" 0 -- -d 12 -s "$TMP/s3.txt" 'perform the following'
  ;;
interactive)
  # R0 after each line that ran, nothing for comments and blank lines; the stack on request.
  out="$(printf '1 2 +\n# a comment\n\nx^y\nstack\nquit\n3 4 +\n' | "$CLI" -d 12 -i)"
  want="$(printf 'R0: 3\nR0: 8\nR4: 0\nR3: 1\nR2: 2\nR1: 3\nR0: 8')"
  [ "$out" = "$want" ] || { echo "FAIL interactive: [$out]"; failures=$((failures + 1)); }
  out="$(printf "foo\n'x ^ y\n2 sqr\n5\n" | "$CLI" -d 12 -i 2>"$TMP/err" | tail -2)"
  [ "$out" = "R0: 5" ] || { echo "FAIL interactive-errors: [$out]"; failures=$((failures + 1)); }
  grep -q "unknown token 'foo' (type help)" "$TMP/err" && grep -q "did you mean SQRT, sq?" "$TMP/err" \
    && ! grep -q -- "--help" "$TMP/err" || { echo "FAIL interactive-message: $(cat "$TMP/err")"; failures=$((failures + 1)); }
  # Expressions, a trailing comment, "show" whole, reasons on standard error.
  out="$(printf '=2+3*sqrt(16)^2\n1 2 # two numbers\n=ans*R1\nshow R3\n1 0 /\n' | "$CLI" -d 12 -i 2>"$TMP/err")"
  want="$(printf 'R0: 50\nR0: 2\nR0: 2\nR3: 50\nR0: ERROR')"
  [ "$out" = "$want" ] && [ "$(cat "$TMP/err")" = "ERROR: division by zero" ] \
    || { echo "FAIL interactive-expressions: [$out] [$(cat "$TMP/err")]"; failures=$((failures + 1)); }
  out="$(printf '=2+*3\n' | "$CLI" -i 2>&1)"
  [ "$out" = "deepnums-cli: expected a number at column 4" ] || { echo "FAIL interactive-column: [$out]"; failures=$((failures + 1)); }
  # Session words: the options change for the rest of the session; help answers.
  out="$(printf 'digits 20\nrad\npi 6 / sin\ndeg\nbare on\n1 3 /\noptions\n' | "$CLI" -d 12 -i)"
  want="$(printf 'digits 20, rad, bare off, plain off, compact off')"
  [[ "$out" == *"$want"* ]] || { echo "FAIL session-rad: [$out]"; failures=$((failures + 1)); }
  [[ "$out" == *"R0: .5"$'\n'* ]] || { echo "FAIL session-sin-rad: [$out]"; failures=$((failures + 1)); }
  [[ "$out" == *"R0: .3333333333333333333 3333333333"* ]] || { echo "FAIL session-bare: [$out]"; failures=$((failures + 1)); }
  [[ "$out" == *"digits 20, deg, bare on, plain off, compact off, exact on" ]] || { echo "FAIL session-options: [$out]"; failures=$((failures + 1)); }
  # "Exact digits": the true value truncated, where the default mode's last digit is off.
  out="$(printf 'exact off\nexact on\n1e16 0.500000000001 -\n' | "$CLI" --no-exact -d 16 -i | grep '^R0')"
  [ "$out" = "R0: 9999999999999999" ] || { echo "FAIL session-exact: [$out]"; failures=$((failures + 1)); }
  out="$("$CLI" --exact -d 16 R1=1E16 R0=0.500000000001 -)"
  [ "$out" = "9999999999999999" ] || { echo "FAIL option-exact: [$out]"; failures=$((failures + 1)); }
  for word in help '?'; do
    out="$(printf '%s\n' "$word" | "$CLI" -i 2>&1)"
    [[ "$out" == *"digits N"*"deg | rad"*"quit"* ]] || { echo "FAIL session-$word: [$out]"; failures=$((failures + 1)); }
  done
  out="$(printf 'bare maybe\n' | "$CLI" -i 2>&1)"
  [[ "$out" == *"takes 'on' or 'off'"* ]] || { echo "FAIL session-bad-value: [$out]"; failures=$((failures + 1)); }
  # A wrong number of digits is refused on its line and changes nothing.
  for bad in 5 100001 abc "12 x"; do
    out="$(printf 'digits %s\noptions\n' "$bad" | "$CLI" -d 20 -i 2>&1)"
    [ "$out" = "$(printf 'deepnums-cli: digits must be 12..100,000\ndigits 20, deg, bare off, plain off, compact off, exact on')" ] \
      || { echo "FAIL session-digits-$bad: [$out]"; failures=$((failures + 1)); }
  done
  out="$(printf 'help\n' | "$CLI" -i)"
  [[ "$out" == *"Ctrl-C drops the line"*"sqrt"*"root"* ]] || { echo "FAIL help-operations"; failures=$((failures + 1)); }
  # "clear" is no command: it must not wipe the registers.
  out="$(printf '5\nclear\n' | "$CLI" -d 12 -i 2>&1 | tail -3)"
  [[ "$out" == *"unknown token 'clear'"* && "$out" == *"R0: 5"* ]] || { echo "FAIL clear-is-unknown: [$out]"; failures=$((failures + 1)); }
  # The status line only when it says something; a code at the start of a line is quoted.
  out="$(printf "'#88'" | "$CLI" -d 12 -i | tail -1)"
  [ "$out" = "status: Not yet supported" ] || { echo "FAIL interactive-status: [$out]"; failures=$((failures + 1)); }
  # At 100,000 digits: R0 twice, no R1..R4.
  out="$(printf 'pi\n1 +\n' | "$CLI" -d 100000 -i | cut -c1-8)"
  [ "$(printf '%s\n' "$out" | grep -c '^R')" = 2 ] && [[ "$out" == "R0: 3. 1"* ]] \
    || { echo "FAIL interactive-100000: $(printf '%s\n' "$out" | grep '^R')"; failures=$((failures + 1)); }
  ;;
cancel)
  "$CLI" -d 100000 100000000 '!' >"$TMP/out" 2>"$TMP/err" </dev/null &
  pid=$!
  sleep 1
  start=$(date +%s%N)
  kill -INT $pid
  wait $pid
  rc=$?
  ms=$(( ($(date +%s%N) - start) / 1000000 ))
  echo "cancel took ${ms} ms"
  [ "$rc" = 130 ] || { echo "FAIL cancel exit $rc"; failures=$((failures + 1)); }
  grep -q aborted "$TMP/err" || { echo "FAIL cancel status: $(cat "$TMP/err")"; failures=$((failures + 1)); }
  [ "$(cat "$TMP/out")" = "0" ] || { echo "FAIL cancel R0: $(cat "$TMP/out")"; failures=$((failures + 1)); }
  # Interactive: the command is cancelled, and the next line works from the texts shown
  # (R0 "0" after the lift), not from whatever the stopped factorial left in R0's number.
  mkfifo "$TMP/in"
  "$CLI" -d 100000 -i <"$TMP/in" >"$TMP/out" 2>"$TMP/err" &
  pid=$!
  exec 3>"$TMP/in"
  printf '1 2 +\n100000000 !\n' >&3
  sleep 1
  kill -INT $pid
  sleep 0.3
  printf '+\nquit\n' >&3
  exec 3>&-
  wait $pid
  rc=$?
  [ "$rc" = 0 ] || { echo "FAIL interactive cancel exit $rc"; failures=$((failures + 1)); }
  grep -q "status: aborted" "$TMP/out" || { echo "FAIL interactive cancel: $(tail -14 "$TMP/out")"; failures=$((failures + 1)); }
  [ "$(tail -1 "$TMP/out")" = "R0: 100000000" ] || { echo "FAIL after cancel: $(tail -7 "$TMP/out")"; failures=$((failures + 1)); }
  ;;
hostile)
  # Files that are not regular: refused before anything runs, left as they were.
  mkfifo "$TMP/fifo.ini"
  ln -s fifo.ini "$TMP/to_fifo.ini"
  ln -s /dev/null "$TMP/to_null.ini"
  expect fifo "" 2 --stderr "cannot read workspace file '$TMP/fifo.ini': not a regular file" -- -w "$TMP/fifo.ini" 1
  expect null-link "" 2 --stderr "not a regular file" -- -w "$TMP/to_null.ini" 1
  [ -p "$TMP/fifo.ini" ] && [ -c /dev/null ] || { echo "FAIL special file replaced"; failures=$((failures + 1)); }
  # A link is written through; the mode of the file stays.
  printf '' >"$TMP/real.ini"
  chmod 600 "$TMP/real.ini"
  ln -s real.ini "$TMP/link.ini"
  expect through-link "5" 0 -- -w "$TMP/link.ini" 5
  [ -L "$TMP/link.ini" ] && [ "$(stat -c %a "$TMP/real.ini")" = 600 ] && grep -q $'^5\r' "$TMP/real.ini" \
    || { echo "FAIL link or mode: $(ls -l "$TMP")"; failures=$((failures + 1)); }
  # A read-only file is refused with the reason, as the shell refuses it (checked as an
  # ordinary user when the tests run as root).
  chmod 755 "$TMP"
  mkdir -m 777 "$TMP/ro"
  printf '' >"$TMP/ro/ws.ini"
  chmod 444 "$TMP/ro/ws.ini"
  as_user=()
  if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null; then
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  fi
  # A copy of the program in the open folder: the build tree may be closed to that user.
  cp "$CLI" "$TMP/ro/cli"
  if [ "$(id -u)" != 0 ] || [ ${#as_user[@]} -gt 0 ]; then
    "${as_user[@]}" "$TMP/ro/cli" -w "$TMP/ro/ws.ini" 7 >/dev/null 2>"$TMP/err" </dev/null
    rc=$?
    [ $rc = 2 ] && grep -q "cannot write workspace file '$TMP/ro/ws.ini': Permission denied" "$TMP/err" \
      && [ ! -s "$TMP/ro/ws.ini" ] || { echo "FAIL read-only: $rc $(cat "$TMP/err")"; failures=$((failures + 1)); }
  fi
  # Two runs saving one file at once: each save is one run's whole state.
  mixed=0 failed=0
  for i in $(seq 1 20); do
    "$CLI" -w "$TMP/shared.ini" R0=1 R1=1 R2=1 R3=1 R4=1 >/dev/null 2>>"$TMP/shared.err" </dev/null &
    "$CLI" -w "$TMP/shared.ini" R0=2 R1=2 R2=2 R3=2 R4=2 >/dev/null 2>>"$TMP/shared.err" </dev/null &
    wait
    [ "$(sed -n '23,27p' "$TMP/shared.ini" | cut -c1 | sort -u | wc -l)" = 1 ] || mixed=$((mixed + 1))
  done
  [ -s "$TMP/shared.err" ] && failed=1
  [ $mixed = 0 ] && [ $failed = 0 ] && [ "$(ls "$TMP" | grep -c '^shared')" = 2 ] \
    || { echo "FAIL shared file: $mixed mixed, $(head -2 "$TMP/shared.err")"; failures=$((failures + 1)); }
  # Endless and oversized inputs are refused at their bound, not read to their end.
  expect zero-script "" 2 --stderr "does not fit the script box" -- -s /dev/zero
  head -c 55009 /dev/zero | tr '\0' '\n' | head -c 55001 >"$TMP/lf.txt"; printf '1+2\n+\n' >>"$TMP/lf.txt"
  expect lf-script "" 2 --stderr "every line end counted as two (CR LF)" -- -s "$TMP/lf.txt"
  { printf '20\n'; head -c 2000000 /dev/zero | tr '\0' 7; } >"$TMP/long.ini"
  sum=$(cksum <"$TMP/long.ini")
  expect long-line "" 2 --stderr "too long for a workspace file" -- -w "$TMP/long.ini" 1
  [ "$(cksum <"$TMP/long.ini")" = "$sum" ] || { echo "FAIL long workspace file changed"; failures=$((failures + 1)); }
  out="$({ head -c 1100000 /dev/zero | tr '\0' 1; printf '\n1 2 +\n'; } | "$CLI" -d 12 -i 2>"$TMP/err" | tail -2 | head -1)"
  [ "$out" = "R0: 3" ] && grep -q "line longer than 1048576 characters skipped" "$TMP/err" \
    || { echo "FAIL long input line: [$out] $(head -c 200 "$TMP/err")"; failures=$((failures + 1)); }
  # A 50 MB line from a pipe is skipped (read in blocks, never kept); the next line runs.
  { head -c 50000000 /dev/zero | tr '\0' 7; printf '\n2 3 +\n'; } | "$CLI" -d 12 >"$TMP/out" 2>"$TMP/err"
  rc=$?
  [ $rc = 2 ] && [ "$(cat "$TMP/out")" = 5 ] && grep -q "line 1: longer than 1048576 characters, skipped" "$TMP/err" \
    || { echo "FAIL 50 MB line: $rc [$(head -c 100 "$TMP/out")] [$(head -c 200 "$TMP/err")]"; failures=$((failures + 1)); }
  # Quoted input with a NUL is shown whole; any int code is a code.
  printf 'a\0b\n' | "$CLI" -i >/dev/null 2>"$TMP/err"
  grep -qF "unknown token 'a\\0b'" "$TMP/err" || { echo "FAIL NUL: $(od -c "$TMP/err" | head -3)"; failures=$((failures + 1)); }
  expect int-min-code "0" 0 -- '#-2147483648'
  expect int-max-code "0" 0 -- '#2147483647'
  # Ctrl-C already waiting when the run starts (blocked by the parent, so it arrives between
  # two tokens): "aborted" and 130, as for a cancelled command.
  python3 - "$CLI" "$TMP/err" <<'PY' || failures=$((failures + 1))
import os, signal, subprocess, sys
signal.pthread_sigmask(signal.SIG_BLOCK, {signal.SIGINT})
with open(sys.argv[2], "w") as err:
    p = subprocess.Popen([sys.argv[1], "R1=5", "R0=6"], stdout=subprocess.DEVNULL, stderr=err,
                         preexec_fn=lambda: os.kill(os.getpid(), signal.SIGINT))
    rc = p.wait()
text = open(sys.argv[2]).read()
if rc != 130 or "aborted" not in text:
    print("FAIL interrupt between tokens: exit %d, stderr %r" % (rc, text))
    sys.exit(1)
PY
  # SIGTERM and SIGHUP with -w: the command is cancelled and the workspace is saved.
  for sig in TERM HUP; do
    rm -f "$TMP/term.ini"
    "$CLI" -w "$TMP/term.ini" -d 100000 R1=42 100000000 '!' >/dev/null 2>"$TMP/err" </dev/null &
    pid=$!
    sleep 1
    kill -$sig $pid
    wait $pid
    rc=$?
    want=$((128 + $(kill -l $sig)))
    [ $rc = $want ] && grep -q aborted "$TMP/err" && grep -q $'^42\r' "$TMP/term.ini" \
      || { echo "FAIL SIG$sig: exit $rc, $(cat "$TMP/err")"; failures=$((failures + 1)); }
  done
  ;;
filter)
  # Standard input not a terminal, no tokens: R0's value after each line that ran.
  out="$(echo '2 3 +' | "$CLI" -d 12)"
  [ "$out" = 5 ] || { echo "FAIL filter-basic: [$out]"; failures=$((failures + 1)); }
  out="$(printf '# sums\n2 3 +\n\n=ans*2 # twice\ndigits 20\n1 3 /\nquit\n9 9 +\n' | "$CLI" -d 12 2>"$TMP/err")"
  [ "$out" = "$(printf '5\n10\n.3333333333333333333 3')" ] && [ ! -s "$TMP/err" ] \
    || { echo "FAIL filter-lines: [$out] [$(cat "$TMP/err")]"; failures=$((failures + 1)); }
  # A bad line is named and skipped, the others run, the exit status says so.
  printf '1 2 +\nfoo\n=2+*3\n4 *\n' | "$CLI" -d 12 >"$TMP/out" 2>"$TMP/err"
  rc=$?
  [ $rc = 2 ] && [ "$(cat "$TMP/out")" = "$(printf '3\n12')" ] \
    && grep -q "line 2: unknown token 'foo' (see --help)" "$TMP/err" \
    && grep -q "line 3: expected a number at column 4" "$TMP/err" \
    || { echo "FAIL filter-bad: $rc [$(cat "$TMP/out")] [$(cat "$TMP/err")]"; failures=$((failures + 1)); }
  # Reasons and the status line on standard error; exit 4 when R0 ends as a marker.
  printf '1 0 /\n' | "$CLI" -d 12 >"$TMP/out" 2>"$TMP/err"
  rc=$?
  [ $rc = 4 ] && [ "$(cat "$TMP/out")" = ERROR ] && [ "$(cat "$TMP/err")" = "ERROR: division by zero" ] \
    || { echo "FAIL filter-marker: $rc [$(cat "$TMP/out")] [$(cat "$TMP/err")]"; failures=$((failures + 1)); }
  out="$(printf '1 0 /\n5\n' | "$CLI" -d 12 2>/dev/null; echo "rc=$?")"
  [ "$out" = "$(printf 'ERROR\n5\nrc=0')" ] || { echo "FAIL filter-marker-gone: [$out]"; failures=$((failures + 1)); }
  # No line: R0 once, as a run without tokens (a workspace's R0).
  expect filter-empty "0" 0 -- -d 12
  # A script with no tokens runs once and reads no input.
  printf 'ln10\n' >"$TMP/s.txt"
  out="$(echo '1 2 +' | "$CLI" -d 12 -s "$TMP/s.txt")"
  [ "$out" = "2. 30258509299" ] || { echo "FAIL filter-script: [$out]"; failures=$((failures + 1)); }
  # A refused line ends the run with its status.
  printf '1\ndigits 5\n' | "$CLI" -d 5 >"$TMP/out" 2>"$TMP/err"
  rc=$?
  [ $rc = 1 ] && grep -q "Invalid number of Significant digit" "$TMP/err" \
    || { echo "FAIL filter-refused: $rc [$(cat "$TMP/err")]"; failures=$((failures + 1)); }
  ;;
expression)
  expect issue "50" 0 -- -d 30 -e '2+3*sqrt(16)^2'
  expect repeated "12" 0 -- -d 12 -e '2+4' -e 'ans*2'
  expect among-tokens "8" 0 -- -d 12 5 -e '3+ans'
  expect right-assoc "512" 0 -- -d 12 -e '2^3^2'
  expect unary-minus "-4" 0 -- -d 12 -e '-2^2'
  expect factorial "-6" 0 -- -d 12 -e '-3!'
  expect functions "1027. 57" 0 -- -d 12 -e 'pow(2,10)+mod(7,3)+round(2.567,2)'
  expect radians "1" 0 -- -d 12 --radian -e 'sin(pi/6)*2'
  expect stack-lifted-once "$(printf 'R0: 105\nR1: 5\nR2: 4\nR3: 3\nR4: 2')" 0 --head 5 \
    -- -d 12 -r 1 2 3 4 5 -e 'R1*(R2+R3)^2+ans'
  expect column "" 2 --stderr "-e '2+*3': expected a number at column 3" -- -e '2+*3'
  expect unknown-name "" 2 --stderr "unknown name 'sqr' at column 1 (did you mean SQRT, sq?)" -- -e 'sqr(2)'
  expect ambiguous "" 2 --stderr "'log' at column 1 is ambiguous: ln or log10" -- -e 'log(2)'
  expect marker "ERROR" 4 --stderr "ERROR: argument outside" -- -d 12 -e 'asin(2)+1'
  # Tokens: "^", "pow" and "x^y" are one command; "log" is refused.
  for name in '^' pow x^y 'x ^ y'; do expect "power-$name" "1024" 0 -- -d 12 2 10 "$name"; done
  expect log-token "" 2 --stderr "'log' is ambiguous: ln or log10" -- 2 log
  ;;
functions)
  expect pi "3. 14159265359" 0 -- -d 12 pi
  expect sqrt-neg "$(printf 'R0: ERROR\nR1: -4')" 4 --head 2 --stderr "square root of a negative number" -- -d 12 -r -4 sqrt
  expect fact "120" 0 -- -d 12 5.7 '!'
  expect fact-neg "ERROR" 4 --stderr "ERROR: factorial of a negative number" -- -d 12 -3 fact
  expect sin30 ".5" 0 -- -d 12 30 sin
  expect sin-rad "1" 0 -- -d 12 --radian pi 2 / sin
  ;;
register_tools)
  # compare: the report instead of R0 when it ends the run, and cmp's exit statuses.
  expect compare-equal "R0 and R1 are equal" 0 -- -d 12 R0=1.5 R1=1.50 compare
  expect compare-differ "R0 and R1 agree to 2 digits; first difference at digit 3 (5 / 6)" 1 -- -d 12 R0=1.25 R1=1.26 compare
  expect compare-named "R3 and R0 differ in sign" 1 -- -d 12 R3=-1 R0=1 compare R3 R0
  expect compare-marker "R0 and R1 cannot be compared: R0 is ERROR" 4 -- -d 12 1 0 / compare
  # Not last: the run prints R0 and the report goes to standard error.
  expect compare-middle "3" 0 --stderr "R0 and R1 are equal" -- -d 12 R0=1 R1=1 compare 2 +
  expect compare-refused "0" 1 --stderr "Invalid number of Significant digit" -- -d 5 compare
  expect compare-registers "$(printf 'R0: 2\nR1: 2')" 1 --head 2 -- -d 12 -r R1=2 R0=2 R2=3 compare R0 R2
  # save and Rn=@FILE: a register file round trip, and the refusals.
  expect save "3. 14159265359" 0 --stderr "R0 saved to '$TMP/pi.txt'" -- -d 12 pi save R0 "$TMP/pi.txt"
  [ "$(cat "$TMP/pi.txt")" = "$(printf '# deepNUMS R0 at 12 significant digits\n3.14159265359')" ] \
    || { echo "FAIL save-file: [$(cat "$TMP/pi.txt")]"; failures=$((failures + 1)); }
  expect load "R0 and R1 are equal (to the 12 digits shown)" 0 -- -d 12 R0=@"$TMP/pi.txt" pi compare
  expect load-missing "0" 2 --stderr "cannot read '$TMP/none.txt'" -- R1=@"$TMP/none.txt" 1
  printf 'pi\n' >"$TMP/bad.txt"
  expect load-bad "0" 2 --stderr "line 1 is not part of a number" -- R1=@"$TMP/bad.txt"
  expect load-empty-name "" 2 --stderr "names no file" -- R1=@
  expect save-missing "" 2 --stderr "'save' takes a register and a file" -- 1 save R0
  expect save-folder "1" 2 --stderr "cannot save '$TMP'" -- 1 save R0 "$TMP"
  # The filter and -i: the report where the value would be; the filter exits as cmp.
  out="$(printf 'R0=2 R1=2.5\ncompare\n' | "$CLI" -d 12)"
  rc=$?
  [ "$out" = "$(printf '2\nR0 and R1 agree to 1 digit; first difference at digit 2 (0 / 5)')" ] && [ $rc = 1 ] \
    || { echo "FAIL filter-compare: $rc [$out]"; failures=$((failures + 1)); }
  out="$(printf 'pi\nshow R0 3..14\ncompare\n' | "$CLI" -d 20 -i)"
  want="$(printf 'R0: 3. 1415926535897932385\nR0 digits 3..14 of 20\n 3  4159265358 97\nR0 and R1 differ: R1 is 0')"
  [ "$out" = "$want" ] || { echo "FAIL interactive-show: [$out]"; failures=$((failures + 1)); }
  ;;
self_test)
  printf 'test 0,0\n' >"$TMP/t.txt"
  expect test-0-0 "" 0 --head 0 --stderr "TEST completed: seq=40  step=11" -- -s "$TMP/t.txt"
  ;;
*)
  echo "unknown group $GROUP"
  exit 2
  ;;
esac

[ "$failures" = 0 ]

#!/usr/bin/env bash
# The unit suite under AddressSanitizer and UndefinedBehaviorSanitizer:
#   run_sanitized.sh SOURCE_DIR BUILD_DIR
# configures a separate build of the core, the functions, the engine, the CLI and the
# window's platform-neutral code (no Qt window, no benchmarks, no fuzzing) with
# -fsanitize=address,undefined, builds it and runs its unit tests; the first report of
# either sanitizer stops the test program and fails the run.
set -euo pipefail
src=$1
build=$2
jobs=${DEEPNUMS_SANITIZE_JOBS:-2}
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -g"
cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON -DDEEPNUMS_BENCH=OFF -DDEEPNUMS_FUZZ=OFF \
  -DDEEPNUMS_SANITIZE_TEST=OFF >"$build.configure.log" 2>&1 \
  || { cat "$build.configure.log"; exit 1; }
cmake --build "$build" -j"$jobs" >"$build.build.log" 2>&1 || { tail -50 "$build.build.log"; exit 1; }
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=0:detect_leaks=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
# The packaging checks read documents only; they gain nothing from the sanitizers.
ctest --test-dir "$build" -L unit -E '^package' --output-on-failure -j"$jobs"

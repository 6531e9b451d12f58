#!/usr/bin/env bash
# The parallel paths under ThreadSanitizer:
#   run_tsan.sh SOURCE_DIR BUILD_DIR
# configures a separate build with -fsanitize=thread (it cannot be combined with the
# address sanitizer of run_sanitized.sh), builds the core's and the exact mode's unit tests
# and runs those that hand work to the second thread: the pool itself, the transforms' two
# primes, the exact mode's forks (split halves, bit-burst pieces) and the functions that
# use them, at sizes on both sides of every threshold. The first report stops the test
# program and fails the run.
set -euo pipefail
src=$1
build=$2
jobs=${DEEPNUMS_SANITIZE_JOBS:-2}
flags="-fsanitize=thread -fno-omit-frame-pointer -g"
cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" \
  -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON -DDEEPNUMS_BENCH=OFF -DDEEPNUMS_FUZZ=OFF \
  -DDEEPNUMS_SANITIZE_TEST=OFF >"$build.configure.log" 2>&1 \
  || { cat "$build.configure.log"; exit 1; }
cmake --build "$build" -j"$jobs" --target core_tests exact_tests >"$build.build.log" 2>&1 \
  || { tail -50 "$build.build.log"; exit 1; }
export TSAN_OPTIONS=halt_on_error=1:abort_on_error=0:second_deadlock_stack=1
"$build/tests/core/core_tests" --gtest_filter='Parallel.*:Cancel.*:MulFast*'
"$build/tests/exact/exact_tests" \
  --gtest_filter='ExactFork.*:ExactParallel.*:ExactNat.*:ExactExpLog.RandomArguments*:ExactTrig.RandomArguments*'

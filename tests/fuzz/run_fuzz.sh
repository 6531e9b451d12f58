#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang and runs one of them:
#   run_fuzz.sh SOURCE_DIR BUILD_DIR NAME SECONDS
# NAME is number, script or workspace. The committed corpus (tests/fuzz/corpus/NAME) seeds
# a working copy in BUILD_DIR, so that new inputs found stay out of the source tree. Exit
# 77 (skipped) when clang++ or its libFuzzer is not installed; otherwise the fuzzer's own
# status: 0 when no input crashed, leaked, tripped a sanitizer or timed out. The last lines
# of the log give the figures of the run (executions, coverage, corpus).
set -euo pipefail
src=$1
build=$2
name=$3
seconds=$4
jobs=${DEEPNUMS_FUZZ_JOBS:-2}

cxx=$(command -v clang++ || true)
cc=$(command -v clang || true)
if [ -z "$cxx" ] || [ -z "$cc" ]; then
  echo "clang not installed: fuzz_$name skipped"
  exit 77
fi
mkdir -p "$build"
probe="$build/probe.cpp"
printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char *, unsigned long) { return 0; }\n' >"$probe"
if ! "$cxx" -fsanitize=fuzzer "$probe" -o "$build/probe" 2>/dev/null; then
  echo "clang has no libFuzzer: fuzz_$name skipped"
  exit 77
fi

flags="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all -fno-omit-frame-pointer -g"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON -DDEEPNUMS_BENCH=OFF -DDEEPNUMS_FUZZ=ON \
    -DDEEPNUMS_SANITIZE_TEST=OFF >"$build/configure.log" 2>&1 \
    || { cat "$build/configure.log"; exit 1; }
fi
cmake --build "$build" -j"$jobs" --target fuzz_number fuzz_script fuzz_workspace \
  >"$build/build.log" 2>&1 || { tail -40 "$build/build.log"; exit 1; }

corpus="$build/corpus-$name"
mkdir -p "$corpus"
cp -n "$src/tests/fuzz/corpus/$name"/* "$corpus"/ 2>/dev/null || true
artifacts="$build/artifacts-$name"
mkdir -p "$artifacts"
cd "$build"
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
set +e
"./tests/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
  -max_len=8192 -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" \
  >"$build/fuzz_$name.log" 2>&1
rc=$?
set -e
grep -E '^(#[0-9]+ +DONE|stat::|Done )' "$build/fuzz_$name.log" || tail -5 "$build/fuzz_$name.log"
if [ $rc -ne 0 ]; then
  tail -60 "$build/fuzz_$name.log"
  echo "fuzz_$name failed (exit $rc); the input is in $artifacts"
fi
exit $rc

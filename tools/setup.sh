#!/usr/bin/env bash
# One-step set-up on a fresh Debian 12 machine (as root):
#   bash tools/setup.sh run    install what the calculator needs, build it, start the window
#   bash tools/setup.sh test   install what the tests need, build everything, run the suite
# Packages already present are skipped; apt-get update runs only when something is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-}
build_pkgs=(cmake g++ make libgtest-dev libgmp-dev libmpfr-dev libbenchmark-dev
            qt6-base-dev fonts-ipafont-gothic libedit-dev librsvg2-bin)
test_pkgs=(xvfb xauth xdotool x11-utils imagemagick python3 python3-mpmath libx11-6 libpython3.11-testsuite lintian
           g++-mingw-w64-x86-64-posix wine wine64 desktop-file-utils groff-base
           appstream icoutils nsis cmark-gfm)

install_missing() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
  fi
}

build() {
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
  cmake --build build -j"$(nproc)"
}

case "$mode" in
  run)
    install_missing "${build_pkgs[@]}"
    build
    if [ -x build/deepnums ]; then exec ./build/deepnums; fi
    exec ./build/deepnums-cli --interactive
    ;;
  test)
    install_missing "${build_pkgs[@]}" "${test_pkgs[@]}"
    build
    ctest --test-dir build -L 'unit|gui|win32' --output-on-failure -j"$(nproc)"
    ;;
  *)
    echo "usage: bash tools/setup.sh run|test" >&2
    exit 2
    ;;
esac

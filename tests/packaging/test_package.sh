#!/usr/bin/env bash
# The install rules and the Debian package, end to end:
#   test_package.sh BUILD_DIR WORK_DIR
# 1. `cmake --install` into a prefix holds the programs, desktop entry, icons, AppStream
#    metainfo, manual pages and documentation.
# 2. CPack builds the .deb; its control fields are checked, `apt-get install -s` resolves
#    its dependencies, and dpkg installs it into a scratch root (an empty dpkg database).
#    The copyright file and changelog are there and lintian reports neither an error nor
#    a warning.
# 3. Every shared library the installed programs name is found and comes from a package
#    the .deb depends on; the desktop entry, the icons, the metainfo and the manual pages
#    are valid.
# 4. The installed deepnums-cli computes; the installed window starts.
set -uo pipefail
build=${1:?build dir}
work=${2:?work dir}
repo=$(cd "$(dirname "$0")/../.." && pwd)
fail() { echo "FAILED: $*"; exit 1; }
rm -rf "$work"; mkdir -p "$work"
with_window=0
[ -x "$build/deepnums" ] && with_window=1

# ---- 1. cmake --install ----
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 \
  || { cat "$work/install.log"; fail "cmake --install"; }
wanted=(bin/deepnums-cli share/man/man1/deepnums-cli.1.gz share/doc/deepnums/README.md
        share/doc/deepnums/copyright share/doc/deepnums/changelog.Debian.gz
        share/doc/deepnums/docs/manual.md share/doc/deepnums/docs/window.png)
icon_sizes=(16 32 48 64 128 256)
metainfo=share/metainfo/io.github.deepnums.deepnums.metainfo.xml
if [ $with_window = 1 ]; then
  wanted+=(bin/deepnums share/man/man1/deepnums.1.gz share/applications/deepnums.desktop
           share/icons/hicolor/scalable/apps/deepnums.svg "$metainfo")
  for size in "${icon_sizes[@]}"; do wanted+=("share/icons/hicolor/${size}x$size/apps/deepnums.png"); done
fi
for f in "${wanted[@]}"; do
  [ -f "$prefix/$f" ] || fail "cmake --install left out $f"
done
echo "cmake --install: ${#wanted[@]} files checked"

# ---- 2. the package ----
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/cpack" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log"; fail "cpack -G DEB"; }
debs=("$work"/cpack/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single .deb: ${debs[*]}"
deb=${debs[0]}
version=$(sed -n 's/^project(deepNUMS VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
# Debian revision 1 of the project's version.
deb_version=$version-1
[ "$(basename "$deb")" = "deepnums_${deb_version}_amd64.deb" ] || fail "package file name $(basename "$deb")"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = deepnums ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$deb_version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = amd64 ] || fail "Architecture: $(field Architecture)"
# A synopsis line, then the long description, each of its lines indented by one blank.
description=$(field Description)
[ "$(echo "$description" | wc -l)" -ge 3 ] || fail "Description: '$description'"
! echo "$description" | grep -q '^  ' || fail "Description lines indented twice: '$description'"
depends=$(field Depends)
echo "Depends: $depends"
# The package names of Depends, without versions.
dep_names=" $(echo "$depends" | sed 's/([^)]*)//g; s/,/ /g' | tr -s ' ') "
if [ $with_window = 1 ]; then
  for p in qt6-qpa-plugins fonts-ipafont-gothic; do
    [[ $dep_names == *" $p "* ]] || fail "Depends lacks $p"
  done
fi
apt-get install -s "$deb" >"$work/apt.log" 2>&1 \
  || { cat "$work/apt.log"; fail "apt-get cannot resolve the dependencies"; }

root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
: >"$root/var/lib/dpkg/status"
: >"$root/var/lib/dpkg/available"
# The scratch root has no packages, so the dependencies are missing there by design.
dpkg --root="$root" --force-depends --force-not-root --force-script-chrootless \
     --log=/dev/null -i "$deb" >"$work/dpkg.log" 2>&1 \
  || { cat "$work/dpkg.log"; fail "dpkg -i into the scratch root"; }
status=$(dpkg --root="$root" -s deepnums 2>/dev/null | sed -n 's/^Status: //p')
[ "$status" = "install ok installed" ] || fail "dpkg status of deepnums: '$status'"
bin=$root/usr/bin
[ -x "$bin/deepnums-cli" ] || fail "no usr/bin/deepnums-cli in the package"
[ $with_window = 1 ] && { [ -x "$bin/deepnums" ] || fail "no usr/bin/deepnums in the package"; }
echo "dpkg -i into a scratch root: $(dpkg-deb -c "$deb" | grep -c -v '/$') files"

# The licence and the changelog, whose latest entry is this version; then lintian, which
# must report no error and no warning (what does not apply to this package is overridden,
# with the reason, in packaging/debian/lintian-overrides).
doc=$root/usr/share/doc/deepnums
head -1 "$doc/copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
  || fail "no machine-readable /usr/share/doc/deepnums/copyright"
entry=$(gzip -dc "$doc/changelog.Debian.gz" | head -1)
[[ $entry == "deepnums ($deb_version) "* ]] || fail "changelog.Debian.gz begins '$entry', not version $deb_version"
command -v lintian >/dev/null || fail "lintian is not installed (tools/setup.sh installs it)"
# Overridden tags are listed as "O:" (with --show-overrides lintian's own exit status would
# count them as failures, so the errors are read from its report).
lintian --fail-on none --display-level '>=warning' --show-overrides "$deb" >"$work/lintian.log" 2>&1
rc=$?
cat "$work/lintian.log"
[ $rc -eq 0 ] || fail "lintian could not check the package (exit $rc)"
! grep -q -E '^(E|W): ' "$work/lintian.log" || fail "lintian reports errors or warnings"
echo "lintian: no errors, no warnings; $(grep -c '^O: ' "$work/lintian.log") overridden"

# ---- 3. libraries, desktop entry, manual pages ----
for exe in "$bin"/*; do
  if ldd "$exe" | grep -q 'not found'; then ldd "$exe"; fail "$(basename "$exe"): a library is missing"; fi
  for lib in $(readelf -d "$exe" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
    path=$(ldd "$exe" | awk -v l="$lib" '$1 == l { print $3 }')
    owner=$(dpkg -S "$path" 2>/dev/null || dpkg -S "$(readlink -f "$path")" 2>/dev/null \
            || dpkg -S "${path#/usr}" 2>/dev/null || dpkg -S "/usr$path" 2>/dev/null)
    pkg=${owner%%:*}
    [ -n "$pkg" ] || fail "no package owns $path ($lib of $(basename "$exe"))"
    [[ $dep_names == *" $pkg "* ]] || fail "$(basename "$exe") needs $lib from $pkg, which Depends does not name"
  done
done
echo "libraries: every NEEDED entry comes from a package in Depends"
if [ $with_window = 1 ]; then
  desktop=$root/usr/share/applications/deepnums.desktop
  # Silent: no error, warning or hint (one main category, so menus show it once).
  out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ] || { echo "$out"; fail "desktop-file-validate"; }
  grep -qx 'Categories=Utility;Calculator;' "$desktop" || fail "desktop categories"
  exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  icon_name=$(sed -n 's/^Icon=//p' "$desktop")
  [ -x "$bin/$exec_name" ] || fail "the desktop entry runs '$exec_name', which is not installed"
  icons=$root/usr/share/icons/hicolor
  [ -f "$icons/scalable/apps/$icon_name.svg" ] || fail "no icon '$icon_name'"
  # Each PNG is the size its folder names, with an alpha channel (the rounded corners).
  for size in "${icon_sizes[@]}"; do
    png=$icons/${size}x$size/apps/$icon_name.png
    got=$(identify -format '%w %h %[channels]' "$png" 2>&1)
    [ "$got" = "$size $size srgba" ] || fail "$png: '$got', expected '$size $size srgba'"
  done
  # The metainfo: its newest release is this version, it launches the installed entry,
  # and appstreamcli finds nothing to say, not even a pedantic hint (--no-net: the
  # screenshot's address is not fetched).
  mi=$root/usr/$metainfo
  release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$mi" | head -1)
  [ "$release" = "$version" ] || fail "newest release in the metainfo is '$release', not $version"
  grep -q "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" "$mi" \
    || fail "the metainfo does not launch $(basename "$desktop")"
  out=$(appstreamcli validate --pedantic --no-net --no-color "$mi" 2>&1) \
    && [ "$out" = "✔ Validation was successful." ] || { echo "$out"; fail "appstreamcli validate"; }
  out=$(appstreamcli validate-tree --pedantic --no-net --no-color "$root/usr" 2>&1) \
    && [ "$out" = "✔ Validation was successful." ] || { echo "$out"; fail "appstreamcli validate-tree"; }
fi
for page in "$root"/usr/share/man/man1/*.1.gz; do
  warnings=$(gzip -dc "$page" | groff -t -man -Tutf8 -ww -z 2>&1)
  [ -z "$warnings" ] || { echo "$warnings"; fail "groff warns about $(basename "$page")"; }
done
echo "desktop entry, icons, metainfo and manual pages valid"

# ---- 4. the installed programs run ----
cli=$bin/deepnums-cli
expect() {  # expected-stdout args...
  local want=$1; shift
  local got
  got=$(cd "$work" && "$cli" "$@" 2>"$work/stderr") || fail "deepnums-cli $* exited $?"
  [ "$got" = "$want" ] || fail "deepnums-cli $*: got '$got', expected '$want'"
}
expect "$(printf 'deepnums-cli (deepNUMS) %s\nCopyright (C) 2026 The deepNUMS authors; MIT License, with NO WARRANTY.' "$version")" --version
expect 1024 -d 12 2 10 'x ^ y'
expect "1. 4142135623730950488 01688724209698078569 6718753769" -d 50 2 sqrt
expect "3. 1415926535897932384 62643383279502884197 1693993751" -d 50 pi
printf 'test 0,0\n' >"$work/selftest.txt"
(cd "$work" && "$cli" -s selftest.txt >/dev/null 2>"$work/stderr") || fail "self-test run exited $?"
grep -q '^TEST completed: seq=40  step=11$' "$work/stderr" || fail "self-test: $(cat "$work/stderr")"
echo "installed deepnums-cli: computed and passed the self-test"
if [ $with_window = 1 ]; then
  # With a configuration folder of its own (the workspace is saved there when the timeout
  # stops it).
  mkdir -p "$work/window"
  (cd "$work/window" && XDG_CONFIG_HOME="$work/window" QT_QPA_PLATFORM=offscreen timeout 3 "$bin/deepnums" >"$work/window.log" 2>&1)
  rc=$?
  [ $rc -eq 124 ] || { cat "$work/window.log"; fail "the installed window exited with $rc instead of running"; }
  [ -f "$work/window/deepnums/deepNUMS.ini" ] || fail "the installed window saved no workspace in \$XDG_CONFIG_HOME/deepnums"
  echo "installed deepnums: started, ran until stopped and saved its workspace"
fi
echo "package test passed"

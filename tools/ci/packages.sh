#!/usr/bin/env bash
# Builds the Debian packages libpsw0, libpsw-dev and psw with CPack in a Release build folder,
# checks them with lintian (no errors allowed), installs them with dpkg -i, runs psw and a C
# consumer (through pkg-config and find_package) against the installed files, then purges the
# packages and checks that none of their files is left.
#
# This installs into the machine's own /usr: it refuses to start when any of the packages or
# their files are there already, and removes what it installed however it ends.
#
# Environment: PSW_JOBS (default 2), PSW_PACKAGE_BUILD_DIR (default build-packages).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
BUILD="${PSW_PACKAGE_BUILD_DIR:-$ROOT/build-packages}"
JOBS="${PSW_JOBS:-2}"
PACKAGES=(psw libpsw-dev libpsw0)  # in removal order
work="$(mktemp -d)"

is_installed() {
  dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null | grep -q -v '^not-installed$'
}

# Purges whatever of ours is installed; runs on every exit once dpkg -i may have begun.
remove_packages() {
  local package
  for package in "${PACKAGES[@]}"; do
    if is_installed "$package"; then
      dpkg --purge "$package" >/dev/null || echo "packages: could not purge $package" >&2
    fi
  done
}
cleanup() {
  local rc=$?
  [ -f "$work/installing" ] && remove_packages
  rm -rf "$work"
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ "$(id -u)" -ne 0 ]; then
  echo "packages: needs root (dpkg -i)" >&2
  exit 1
fi
for package in "${PACKAGES[@]}"; do
  if is_installed "$package"; then
    echo "packages: $package is installed already; this stage would replace and then purge it" >&2
    exit 1
  fi
done

echo "--- build (Release, prefix /usr)"
# Warnings are errors in the CI build (-O2); at -O3 g++ 12 reports false -Wrestrict overlaps
# inside std::string, so this build keeps warnings as warnings.
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DPSW_BUILD_TESTS=OFF -DPSW_WERROR=OFF >"$work/configure.log" || { cat "$work/configure.log"; exit 1; }
cmake --build "$BUILD" -j"$JOBS" >"$work/build.log" 2>&1 || { tail -n 50 "$work/build.log"; exit 1; }
rm -f "$BUILD"/*.deb
(cd "$BUILD" && cpack -G DEB >"$work/cpack.log") || { cat "$work/cpack.log"; exit 1; }
debs=()
for package in libpsw0 libpsw-dev psw; do
  deb="$(ls "$BUILD/${package}_"*.deb 2>/dev/null | head -n 1)"
  [ -n "$deb" ] || { echo "packages: no $package package was made" >&2; exit 1; }
  debs+=("$deb")
  echo "$(basename "$deb"): Depends: $(dpkg-deb -f "$deb" Depends)"
done

echo "--- package contents and dependencies"
# Files that would land on files of the machine would be overwritten and then removed.
for deb in "${debs[@]}"; do
  while read -r path; do
    if [ -e "$path" ] && [ ! -d "$path" ]; then
      echo "packages: $path exists already; refusing to install over it" >&2
      exit 1
    fi
  done < <(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\./|/|')
done
check_field() {  # check_field DEB FIELD EXTENDED-REGEX WHAT
  grep -q -E "$3" <<<"$(dpkg-deb -f "$1" "$2")" || { echo "packages: $(basename "$1") $2 lacks $4" >&2; exit 1; }
}
check_field "${debs[0]}" Depends 'libsnmp[0-9]+' "Net-SNMP (from dpkg-shlibdeps)"
check_field "${debs[0]}" Depends 'libstdc\+\+6' "libstdc++ (from dpkg-shlibdeps)"
check_field "${debs[1]}" Depends "libpsw0 \\(= " "libpsw0 of its own version"
check_field "${debs[2]}" Depends "libpsw0 \\(= " "libpsw0 of its own version"
check_field "${debs[2]}" Depends 'libc6' "libc6 (from dpkg-shlibdeps)"
# Listings in files: grep -q on a pipe would stop dpkg-deb half way (pipefail).
for index in 0 1 2; do dpkg-deb -c "${debs[$index]}" >"$work/contents-$index"; done
grep -q -E '/libpsw\.so\.0 -> libpsw\.so\.[0-9.]+$' "$work/contents-0" || { echo "packages: libpsw0 lacks its SONAME link" >&2; exit 1; }
grep -q -E '/libpsw\.so -> ' "$work/contents-1" || { echo "packages: libpsw-dev lacks libpsw.so" >&2; exit 1; }
for path in include/psw/psw.h cmake/psw/pswConfig.cmake pkgconfig/psw.pc man3/libpsw.3.gz; do
  grep -q "$path\$" "$work/contents-1" || { echo "packages: libpsw-dev lacks $path" >&2; exit 1; }
done
for path in /usr/bin/psw man1/psw.1.gz; do
  grep -q "$path\$" "$work/contents-2" || { echo "packages: psw lacks $path" >&2; exit 1; }
done

echo "--- lintian"
if ! lintian --fail-on error --suppress-tags-from-file /dev/null "${debs[@]}" >"$work/lintian.log" 2>&1; then
  cat "$work/lintian.log"
  echo "packages: lintian found errors" >&2
  exit 1
fi
cat "$work/lintian.log"

echo "--- dpkg -i"
touch "$work/installing"
dpkg -i "${debs[@]}" >/dev/null
for package in libpsw0 libpsw-dev psw; do
  dpkg -L "$package" >>"$work/files"
done
version="$(sed -n 's/^#define PSW_VERSION "\(.*\)"$/\1/p' "$ROOT/include/psw/psw.h")"
unset LD_LIBRARY_PATH PKG_CONFIG_PATH
[ "$(command -v psw)" = /usr/bin/psw ] || { echo "packages: psw is not /usr/bin/psw" >&2; exit 1; }
psw --version | grep -q "psw $version (libpsw $version)" || { echo "packages: psw --version: $(psw --version)" >&2; exit 1; }
psw --version
man -w psw >/dev/null && man -w 3 libpsw >/dev/null || { echo "packages: man cannot find psw(1) or libpsw(3)" >&2; exit 1; }
[ "$(pkg-config --modversion psw)" = "$version" ] || { echo "packages: pkg-config knows no psw $version" >&2; exit 1; }
# A consumer of the installed files only: find_package and pkg-config from the system.
cmake -S "$ROOT/tests/install/consumer" -B "$work/consumer" >/dev/null
cmake --build "$work/consumer" --target consumer_cmake consumer_pkgconfig >/dev/null
for program in consumer_cmake consumer_pkgconfig; do
  "$work/consumer/$program" | grep -q 'consumer ok 0' || { echo "packages: $program failed" >&2; exit 1; }
  ldd "$work/consumer/$program" | grep -q -E 'libpsw\.so\.0 => (/usr)?/lib/' || { echo "packages: $program did not load the installed libpsw" >&2; exit 1; }
done
echo "installed packages: psw, pkg-config and find_package consumers ok"

echo "--- dpkg --purge"
remove_packages
rm -f "$work/installing"
for package in "${PACKAGES[@]}"; do
  if is_installed "$package"; then echo "packages: $package is still installed" >&2; exit 1; fi
done
left=()
while read -r path; do
  # Folders such as /usr/lib stay when other packages use them; files and links must go.
  if [ -L "$path" ] || { [ -e "$path" ] && [ ! -d "$path" ]; }; then left+=("$path"); fi
  if [[ "$path" == */psw || "$path" == */doc/libpsw* || "$path" == */cmake/psw ]] && [ -d "$path" ]; then left+=("$path"); fi
done < <(sort -u "$work/files")
if [ ${#left[@]} -gt 0 ]; then
  echo "packages: left after purge:" >&2
  printf '  %s\n' "${left[@]}" >&2
  exit 1
fi
echo "packages: built, lintian clean, installed, used and purged"

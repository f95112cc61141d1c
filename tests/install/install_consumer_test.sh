#!/usr/bin/env bash
# Installs the built tree into a temporary prefix and builds and runs a consumer against it,
# once through find_package(psw) and once through pkg-config.
set -euo pipefail
build_dir="$1"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cmake --install "$build_dir" --prefix "$work/prefix" >/dev/null
test -f "$work/prefix/include/psw/psw.h"
test -f "$work/prefix/lib/cmake/psw/pswConfig.cmake" || test -f "$work/prefix/lib64/cmake/psw/pswConfig.cmake"

libdir="$(dirname "$(find "$work/prefix" -name 'libpsw.so' | head -n 1)")"
export PKG_CONFIG_PATH="$libdir/pkgconfig"
cmake -S "$here/consumer" -B "$work/build" -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/build" >/dev/null
LD_LIBRARY_PATH="$libdir" "$work/build/consumer_cmake" | grep -q 'consumer ok 0'
LD_LIBRARY_PATH="$libdir" "$work/build/consumer_pkgconfig" | grep -q 'consumer ok 0'

# The shared library exports the PSW functions and nothing of the internals.
exported="$(nm -D --defined-only "$libdir/libpsw.so" | awk '{print $3}')"
unexpected="$(printf '%s\n' "$exported" | grep -v -E '^(PSW|_ZN.*CPSW(DevComm|Brambling)Option|_ZT[VIS].*CPSW(DevComm|Brambling)Option)' || true)"
if [ -n "$unexpected" ]; then
  echo "unexpected exported symbols:" >&2
  printf '%s\n' "$unexpected" | head -n 20 >&2
  exit 1
fi
printf '%s\n' "$exported" | grep -q '^PSWInit$'
# The extensions of psw.h are exported under their own names.
for name in PSWGetVersion PSWInitAnyDevice PSWInitAnyDeviceEx PSWGetNumberOfSupplyInfo \
            PSWGetSupplyInfo PSWGetIdentityInfo; do
  printf '%s\n' "$exported" | grep -qx "$name" || { echo "$name is not exported" >&2; exit 1; }
done
echo "install and consumer ok"

#!/usr/bin/env bash
# CI stage: the Windows build. Cross-builds psw.dll, psw.exe and the Windows test programs with
# mingw-w64 in build-mingw, checks what psw.dll exports and imports, runs the test programs
# under Wine (a fresh Wine prefix in a temporary folder) against a simulated printer on a leased
# loopback address, and compares `psw.exe status` with the Linux `psw status` of that printer.
#
#   tools/ci/windows.sh [LINUX_PSW]
#
# LINUX_PSW is the Linux program to compare with (default build/tools/psw). Needs root (the
# printer listens on port 161), snmpsim, the cross compiler and Wine (tools/install-deps.sh).
# Exit status 0 when everything passed; every failure is printed as a line "FAILED: ...".
set -uo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
BUILD="$ROOT/build-mingw"
JOBS="${PSW_JOBS:-2}"
LINUX_PSW="${1:-$ROOT/build/tools/psw}"
TESTS=(psw_core_tests psw_log_tests psw_snmp_tests psw_net_tests psw_api_tests)
failed=0
fail() { echo "FAILED: $*"; failed=1; }

WINE="$(command -v wine64 || true)"
[[ -z "$WINE" && -x /usr/lib/wine/wine64 ]] && WINE=/usr/lib/wine/wine64
if [[ -z "$WINE" ]] || ! command -v x86_64-w64-mingw32-g++-posix >/dev/null; then
  echo "FAILED: wine64 or the mingw-w64 cross compiler is missing (tools/install-deps.sh)"
  exit 1
fi

# Unoptimised and without debug information: the stage's time goes into compiling.
echo "-- cross build ($BUILD)"
mkdir -p "$BUILD"
if ! cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
       -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O0 -DCMAKE_C_FLAGS_DEBUG=-O0 \
       -DPSW_WERROR=ON -DPSW_BUILD_TESTS=ON -DPSW_BUILD_TOOLS=ON \
       >"$BUILD/ci-configure.log" 2>&1 ||
   ! cmake --build "$BUILD" -j"$JOBS" --target psw psw_cli "${TESTS[@]}" >"$BUILD/ci-build.log" 2>&1; then
  tail -n 40 "$BUILD/ci-configure.log" "$BUILD/ci-build.log" 2>/dev/null
  echo "FAILED: the cross build (logs: $BUILD/ci-configure.log, $BUILD/ci-build.log)"
  exit 1
fi

echo "-- psw.dll exports and imports"
dump="$(x86_64-w64-mingw32-objdump -p "$BUILD/src/psw.dll")"
exports="$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | tail -n +2 | awk 'NF { print $NF }')"
stray="$(grep -v -E '^PSW[A-Z]|CPSWDevCommOption|CPSWBramblingOption' <<<"$exports" || true)"
[[ -n "$stray" ]] && fail "psw.dll exports more than the API: $(tr '\n' ' ' <<<"$stray")"
grep -q '^PSWInit$' <<<"$exports" || fail "psw.dll does not export PSWInit"
[[ -f "$BUILD/src/libpsw.dll.a" ]] || fail "no import library libpsw.dll.a"
imports="$(awk '/DLL Name:/ { print tolower($3) }' <<<"$dump" | sort -u | tr '\n' ' ')"
[[ "$imports" == "kernel32.dll msvcrt.dll " ]] ||
  fail "psw.dll imports $imports(the socket and IP Helper libraries must be bound at run time)"
echo "exports: $(wc -l <<<"$exports") names; imports: $imports"

# A fresh Wine prefix for this run; psw.dll is found through WINEPATH.
prefix="$(mktemp -d /tmp/psw-wine-XXXXXX)"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
  WINEPATH="$BUILD/src"
. "$ROOT/tools/simulated_printer.sh"
cleanup() {
  stop_simulated_printer
  WINEPREFIX="$prefix" "$(dirname "$WINE")/wineserver" -k >/dev/null 2>&1 || true
  rm -rf "$prefix"
}
trap cleanup EXIT

echo "-- Wine prefix $prefix"
timeout 300 "$WINE" wineboot --init >/dev/null 2>&1 || true

why="$(printer_unavailable || true)"
if [[ -n "$why" ]]; then
  fail "no simulated printer: $why"
elif ! start_simulated_printer "$ROOT/tests/data/printers/rich.snmprec"; then
  fail "the simulated printer did not start"
fi
export PSW_WINDOWS_PRINTER="$printer_address"
# The Linux view of this machine's IPv4 addresses, for the IP Helper comparison.
PSW_LINUX_IPV4="$(ip -4 -o addr show | awk '{ print $4 }' | python3 -c '
import ipaddress, sys
print(" ".join(f"{i.ip}/{i.netmask}" for i in map(ipaddress.ip_interface, sys.stdin.read().split())))')"
export PSW_LINUX_IPV4

for test in "${TESTS[@]}"; do
  echo "-- $test (wine)"
  log="$BUILD/$test.wine.log"
  (cd "$BUILD/tests" && timeout 600 "$WINE" "$test.exe" --gtest_color=no) >"$log" 2>&1
  rc=$?
  grep -E '^\[  (PASSED|FAILED|SKIPPED) *\]|^\[==========\] [0-9]+ tests' "$log"
  [[ $rc -eq 0 ]] || { grep -E '^\[  FAILED  \]' "$log"; fail "$test under Wine exited with $rc (log: $log)"; }
  if grep -q '^\[  SKIPPED \]' "$log"; then fail "$test skipped tests"; fi
done

if [[ -n "$printer_address" ]]; then
  echo "-- psw.exe status $printer_address against the Linux psw"
  windows_out="$BUILD/status.windows.txt"
  linux_out="$BUILD/status.linux.txt"
  (cd "$BUILD/tools" && timeout 300 "$WINE" psw.exe status -c "$printer_community" "$printer_address") \
    2>&1 | tr -d '\r' >"$windows_out"
  if [[ -x "$LINUX_PSW" ]]; then
    "$LINUX_PSW" status -c "$printer_community" "$printer_address" >"$linux_out" 2>&1
    if diff -u "$linux_out" "$windows_out"; then
      echo "identical ($(wc -l <"$windows_out") lines)"
    else
      fail "psw.exe status differs from the Linux psw status"
    fi
  else
    fail "no Linux psw at $LINUX_PSW to compare with"
  fi
fi

exit $failed

#!/usr/bin/env bash
# Installs the built tree into a temporary prefix and builds and runs a consumer against it,
# once through find_package(psw) and once through pkg-config.
#
#   install_consumer_test.sh BUILD_DIR             the consumers and the exported symbols
#   install_consumer_test.sh BUILD_DIR --logging   a C program switches the log on through the
#                                                  exported calls while reading a simulated
#                                                  printer (needs root and snmpsim; exits 77,
#                                                  skipped, without them unless CI is set)
set -euo pipefail
build_dir="$1"
mode="${2:-}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
work="$(mktemp -d)"
# shellcheck source=../../tools/simulated_printer.sh
source "$here/../../tools/simulated_printer.sh"
trap 'stop_simulated_printer; rm -rf "$work"' EXIT

if [ "$mode" = "--logging" ]; then
  if reason="$(printer_unavailable)"; then
    if [ -n "${CI:-}" ]; then
      echo "peer unavailable and CI is set, refusing to skip: $reason" >&2
      exit 1
    fi
    echo "skipped: $reason"
    exit 77
  fi
fi

cmake --install "$build_dir" --prefix "$work/prefix" >/dev/null
test -f "$work/prefix/include/psw/psw.h"
test -f "$work/prefix/lib/cmake/psw/pswConfig.cmake" || test -f "$work/prefix/lib64/cmake/psw/pswConfig.cmake"

libdir="$(dirname "$(find "$work/prefix" -name 'libpsw.so' | head -n 1)")"
export PKG_CONFIG_PATH="$libdir/pkgconfig"
cmake -S "$here/consumer" -B "$work/build" -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/build" >/dev/null

if [ "$mode" = "--logging" ]; then
  start_simulated_printer "$here/../data/printers/rich.snmprec"
  log="$work/psw.log"
  LD_LIBRARY_PATH="$libdir" "$work/build/log_consumer" "$printer_address" "$printer_community" "$log" \
    | tee "$work/log_consumer.out"
  grep -q '^log consumer ok' "$work/log_consumer.out"
  # The file holds the same layout, line ends included, and the exchange's bytes.
  header='^[0-9]{4}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}:[0-9]{3}, [ 0-9]{8}, [ 0-9]{8}, '
  if grep -v -E "$header" "$log" | grep -q .; then
    echo "log file lines out of layout:" >&2
    grep -v -E "$header" "$log" | head -n 5 >&2
    exit 1
  fi
  grep -q -E "${header}snmp {12}, Debug, send to $printer_address port 161, [0-9]+ bytes, at 0: 30[0-9a-f]+\$" "$log"
  grep -q -E "${header}snmp {12}, Debug, receive from $printer_address port 161, [0-9]+ bytes, at 0: 30[0-9a-f]+\$" "$log"
  echo "installed library logging ok"
  exit 0
fi

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
# The log switches are part of the exported API.
for name in PSWLogSetLevel PSWLogAttachStdout PSWLogDetachStdout PSWLogAttachFile PSWLogDetachFile \
            PSWLogAttachCallback PSWLogDetachCallback; do
  printf '%s\n' "$exported" | grep -q "^$name\$" || { echo "$name is not exported" >&2; exit 1; }
done
# The extensions of psw.h are exported under their own names.
for name in PSWGetVersion PSWInitAnyDevice PSWInitAnyDeviceEx PSWGetNumberOfSupplyInfo \
            PSWGetSupplyInfo PSWGetIdentityInfo PSWGetMediumSize; do
  printf '%s\n' "$exported" | grep -qx "$name" || { echo "$name is not exported" >&2; exit 1; }
done
echo "install and consumer ok"

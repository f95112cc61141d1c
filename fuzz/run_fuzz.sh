#!/bin/sh
# Builds the SNMP decoder fuzzer with clang and fuzzes for SECONDS (default 60). Exits non-zero
# on any crash, leak or sanitizer report.
set -eu
seconds=${1:-60}
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${PSW_FUZZ_BUILD_DIR:-$root/build-fuzz}
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DPSW_BUILD_FUZZERS=ON -DPSW_BUILD_TESTS=OFF \
    -DPSW_BUILD_TOOLS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target snmp_decode_fuzzer >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$here"/corpus/* "$work"/ 2>/dev/null || true
cd "$work"
# libFuzzer exits non-zero on a crash, a leak or a sanitizer report.
"$build/fuzz/snmp_decode_fuzzer" -max_total_time="$seconds" -max_len=1500 -print_final_stats=1 \
    -artifact_prefix="$work/" "$work" >"$work/log" 2>&1 || {
    tail -60 "$work/log"
    mkdir -p "$root/build-fuzz-artifacts"
    cp "$work"/crash-* "$work"/leak-* "$work"/oom-* "$work"/timeout-* "$root/build-fuzz-artifacts/" 2>/dev/null || true
    exit 1
}
tail -12 "$work/log"

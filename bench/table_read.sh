#!/bin/bash
# A table read of hrStorageTable + hrDeviceTable through the library's exported API beside the
# same walk on Net-SNMP's libsnmp, against one snmpd this script starts on a free loopback
# address (127.0.0.N:161, leased through the tests' lock files). Instructions from callgrind:
#   per read     = (count(K=21) - count(K=1)) / 20
#   per exchange = per read / exchanges per read (from the agent's snmpInPkts)
# plus CPU time per read from 200 reads outside valgrind. Run as root from the source tree:
#   bench/table_read.sh [BUILD_DIR]        (default build-bench, a Release build with
#                                           -DPSW_BUILD_BENCHMARKS=ON)
set -euo pipefail

build=${1:-build-bench}
program=$build/bench/psw_table_read
[[ -x $program ]] || { echo "no $program: build target psw_table_read first" >&2; exit 2; }
for tool in snmpd snmpget valgrind flock; do
    command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 2; }
done
[[ $(id -u) == 0 ]] || { echo "run as root (snmpd listens on port 161)" >&2; exit 2; }

work=$(mktemp -d /tmp/psw-table-read.XXXXXX)
agent=
cleanup() {
    [[ -n $agent ]] && kill "$agent" 2>/dev/null && wait "$agent" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

source "$(dirname "$0")/lib.sh"
lease_loopback || exit 2

# Tools and libsnmp read only this folder's configuration (no MIBs to load).
export SNMPCONFPATH=$work SNMP_PERSISTENT_DIR=$work/persist
mkdir -p "$work/persist"
echo "mibs :" >"$work/snmp.conf"
cat >"$work/snmpd.conf" <<EOF
[snmp] persistentDir $work/persist
[snmp] mibs :
agentAddress udp:$address:161
rocommunity public default
EOF
snmpd -f -Lo -C -c "$work/snmpd.conf" >"$work/snmpd.log" 2>&1 &
agent=$!

in_packets() { snmpget -v1 -c public -On -Oqv -t 2 -r 1 "$address" 1.3.6.1.2.1.11.1.0; }
for _ in $(seq 100); do
    in_packets >/dev/null 2>&1 && break
    sleep 0.1
done
in_packets >/dev/null || { echo "snmpd did not answer; log:" >&2; cat "$work/snmpd.log" >&2; exit 1; }

# count SIDE K: prints "instructions client-packets"
count() {
    local before after
    before=$(in_packets)
    valgrind --tool=callgrind --callgrind-out-file="$work/cg.$1.$2" "$program" "$1" "$address" "$2" \
        >"$work/out.$1.$2" 2>"$work/valgrind.$1.$2" || { cat "$work/valgrind.$1.$2" >&2; exit 1; }
    after=$(in_packets)
    echo "$(callgrind_total "$work/cg.$1.$2") $((after - before - 1))"
}

# syscalls SIDE K: the system calls the client makes (strace -c), where the kernel's share of
# the CPU column goes.
syscalls() {
    strace -f -c -o "$work/strace.$1.$2" "$program" "$1" "$address" "$2" >/dev/null
    awk '$NF == "total" { print ($4 ~ /^[0-9]+$/) ? $4 : $3 }' "$work/strace.$1.$2"
}

declare -A per_read per_exchange exchanges start cpu rows calls
for side in psw netsnmp; do
    read -r i1 p1 < <(count $side 1)
    read -r i21 p21 < <(count $side 21)
    per_read[$side]=$(((i21 - i1) / 20))
    exchanges[$side]=$(((p21 - p1) / 20))
    per_exchange[$side]=$((per_read[$side] / exchanges[$side]))
    start[$side]=$((i1 - per_read[$side]))
    rows[$side]=$(sed -n 's/.*reads, \(.*\) rows, .*/\1 rows/p' "$work/out.$side.1")
    cpu[$side]=$("$program" $side "$address" 200 | sed -n 's/.*, \([0-9.]*\) us CPU per read/\1/p')
    if command -v strace >/dev/null; then
        calls[$side]=$((($(syscalls $side 21) - $(syscalls $side 1)) / 20 / exchanges[$side]))
    fi
done

echo "snmpd on $address; $(snmpget -v1 -c public -Oqv "$address" 1.3.6.1.2.1.1.1.0 | cut -c1-60)"
echo "rows read: psw ${rows[psw]}; libsnmp ${rows[netsnmp]}"
printf '| %-44s | %12s | %12s | %6s |\n' "table read, both tables" "libpsw" "libsnmp" "ratio"
printf '|%s|%s|%s|%s|\n' "----------------------------------------------" "--------------" "--------------" "--------"
row() { printf '| %-44s | %12s | %12s | %6s |\n' "$1" "$2" "$3" "$4"; }
row "GetNext exchanges per read (snmpInPkts)" "${exchanges[psw]}" "${exchanges[netsnmp]}" ""
row "instructions per read" "${per_read[psw]}" "${per_read[netsnmp]}" "$(ratio "${per_read[psw]}" "${per_read[netsnmp]}")"
row "instructions per exchange" "${per_exchange[psw]}" "${per_exchange[netsnmp]}" "$(ratio "${per_exchange[psw]}" "${per_exchange[netsnmp]}")"
row "process start + first read (instructions)" "${start[psw]}" "${start[netsnmp]}" "$(ratio "${start[psw]}" "${start[netsnmp]}")"
row "CPU per read (us, 200 reads, one process)" "${cpu[psw]}" "${cpu[netsnmp]}" "$(ratio "${cpu[psw]}" "${cpu[netsnmp]}")"
if [[ -n ${calls[psw]:-} ]]; then
    row "system calls per exchange (strace -c)" "${calls[psw]}" "${calls[netsnmp]}" "$(ratio "${calls[psw]}" "${calls[netsnmp]}")"
fi
if [[ -n ${PSW_KEEP_PROFILES:-} ]]; then
    mkdir -p "$PSW_KEEP_PROFILES" && cp "$work"/cg.* "$PSW_KEEP_PROFILES"/
    echo "callgrind profiles in $PSW_KEEP_PROFILES (callgrind_annotate FILE)"
fi

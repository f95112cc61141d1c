#!/bin/bash
# `psw status` of a simulated printer beside the same reads done with Net-SNMP's command-line
# tools on the same agent: one snmpget of the scalars and one snmpwalk per table the status
# shows (snmptable needs the Printer and Host Resources MIB files, which Debian does not ship;
# snmpwalk of the table entries reads the same objects by number). This script starts snmpsim
# with tests/data/printers/rich.snmprec on a free loopback address. Run as root from the source
# tree:
#   bench/status_compare.sh [BUILD_DIR]     (default build-bench; needs tools/psw built)
# Instructions: callgrind, whole processes (start-up included), summed over the tools' processes.
# PSW_KEEP_PROFILES=DIR keeps psw's callgrind profile.
# Datagrams sent: counted with strace. Wall time: hyperfine (when installed), 5 runs each.
set -euo pipefail

build=${1:-build-bench}
psw=$build/tools/psw
[[ -x $psw ]] || { echo "no $psw: build target psw first" >&2; exit 2; }
for tool in snmpsimd snmpget snmpwalk valgrind strace flock; do
    command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 2; }
done
[[ $(id -u) == 0 ]] || { echo "run as root (snmpsim listens on port 161)" >&2; exit 2; }

here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
work=$(mktemp -d /tmp/psw-status-compare.XXXXXX)
chmod 755 "$work"
agent=
cleanup() {
    [[ -n $agent ]] && kill "$agent" 2>/dev/null && wait "$agent" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
lease_loopback || exit 2

mkdir -p "$work/data" "$work/cache"
cp "$here/../tests/data/printers/rich.snmprec" "$work/data/"
chown -R nobody "$work/cache"
chmod -R a+rX "$work/data"
snmpsimd --data-dir="$work/data" --cache-dir="$work/cache" --process-user=nobody \
    --process-group=nogroup --agent-udpv4-endpoint="$address:161" >"$work/snmpsim.log" 2>&1 &
agent=$!
export SNMPCONFPATH=$work
echo "mibs :" >"$work/snmp.conf"
snmp=(-v1 -c rich -On -t 2 -r 1 "$address")
for _ in $(seq 150); do
    snmpget "${snmp[@]}" 1.3.6.1.2.1.1.2.0 >/dev/null 2>&1 && break
    sleep 0.2
done
snmpget "${snmp[@]}" 1.3.6.1.2.1.1.2.0 >/dev/null || { cat "$work/snmpsim.log" >&2; exit 1; }

# The Net-SNMP side: the objects `psw status` shows.
cat >"$work/netsnmp.sh" <<EOF
#!/bin/bash
set -e
snmp="${snmp[*]}"
snmpget \$snmp 1.3.6.1.2.1.1.1.0 1.3.6.1.2.1.1.2.0 1.3.6.1.2.1.1.3.0 1.3.6.1.2.1.1.4.0 \\
    1.3.6.1.2.1.1.5.0 1.3.6.1.2.1.1.6.0 1.3.6.1.2.1.25.2.2.0 1.3.6.1.2.1.43.5.1.1.17.1
for table in 1.3.6.1.2.1.25.3.5.1 1.3.6.1.2.1.43.10.2.1.4 1.3.6.1.2.1.43.11.1.1 \\
    1.3.6.1.2.1.43.8.2.1 1.3.6.1.2.1.43.9.2.1 1.3.6.1.2.1.43.12.1.1.4 1.3.6.1.2.1.43.18.1.1 \\
    1.3.6.1.2.1.25.2.3.1 1.3.6.1.2.1.25.3.2.1; do
    snmpwalk \$snmp \$table
done
EOF
chmod +x "$work/netsnmp.sh"
status=("$psw" status "$address" -c rich)

"${status[@]}" >"$work/psw.out" || { cat "$work/psw.out" >&2; exit 1; }
"$work/netsnmp.sh" >"$work/netsnmp.out"

# Instructions of every process a side starts (the tools side: the shell's too, shown apart).
instructions() {
    local prefix=$1 total=0 shell=0 file
    shift
    valgrind --tool=callgrind --trace-children=yes --callgrind-out-file="$work/$prefix.%p" "$@" \
        >/dev/null 2>"$work/$prefix.valgrind"
    for file in "$work/$prefix".*; do
        [[ $file == *.valgrind ]] && continue
        if grep -q '^cmd: .*netsnmp.sh' "$file"; then
            shell=$((shell + $(callgrind_total "$file")))
        else
            total=$((total + $(callgrind_total "$file")))
        fi
    done
    echo "$total $shell"
}
datagrams() {
    strace -f -qq -e trace=sendto,sendmsg -o "$work/strace.$1" "${@:2}" >/dev/null
    grep -c -E 'sendto\(|sendmsg\(' "$work/strace.$1"
}
read -r psw_instructions _ < <(instructions cg-psw "${status[@]}")
read -r tools_instructions shell_instructions < <(instructions cg-tools "$work/netsnmp.sh")
psw_datagrams=$(datagrams psw "${status[@]}")
tools_datagrams=$(datagrams tools "$work/netsnmp.sh")
tools_processes=$(($(ls "$work"/cg-tools.* | grep -vc valgrind) - 1))

psw_wall=- tools_wall=-
if command -v hyperfine >/dev/null; then
    hyperfine -N --warmup 2 --runs 5 --export-json "$work/hyperfine.json" \
        "${status[*]}" "$work/netsnmp.sh" >"$work/hyperfine.out" 2>&1 || cat "$work/hyperfine.out" >&2
    read -r psw_wall tools_wall < <(python3 -c '
import json, sys
r = json.load(open(sys.argv[1]))["results"]
print(" ".join("%.1f" % (x["mean"] * 1000) for x in r))' "$work/hyperfine.json")
fi

echo "snmpsim on $address serving rich.snmprec; psw printed $(wc -l <"$work/psw.out") lines, the tools $(wc -l <"$work/netsnmp.out") objects"
printf '| %-46s | %14s | %22s | %6s |\n' "psw status vs the same reads" "psw status" "snmpget + snmpwalk" "ratio"
printf '|%s|%s|%s|%s|\n' "------------------------------------------------" "----------------" "------------------------" "--------"
row() { printf '| %-46s | %14s | %22s | %6s |\n' "$1" "$2" "$3" "$4"; }
row "processes" "1" "$tools_processes (+ a shell)" ""
row "datagrams sent (strace)" "$psw_datagrams" "$tools_datagrams" ""
row "instructions, all processes (callgrind)" "$psw_instructions" "$tools_instructions" "$(ratio "$psw_instructions" "$tools_instructions")"
row "instructions per datagram sent" "$((psw_instructions / psw_datagrams))" "$((tools_instructions / tools_datagrams))" "$(ratio "$((psw_instructions / psw_datagrams))" "$((tools_instructions / tools_datagrams))")"
row "wall time, mean of 5 (ms, hyperfine)" "$psw_wall" "$tools_wall (with the shell)" ""
echo "(the tools' shell script itself: $shell_instructions instructions, not counted above)"
if [[ -n ${PSW_KEEP_PROFILES:-} ]]; then
    mkdir -p "$PSW_KEEP_PROFILES" && cp "$work"/cg-psw.* "$PSW_KEEP_PROFILES"/
    echo "psw's callgrind profile in $PSW_KEEP_PROFILES (callgrind_annotate FILE)"
fi

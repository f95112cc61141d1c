#!/bin/bash
# Checks the simulated printers against a real snmpsim agent.
#
#   tests/data/printers/validate.sh [file.snmprec ...]    (default: every .snmprec beside it)
#
# For each file: every object line is OID|TYPE|VALUE, OIDs are unique and in ascending numeric
# order, and complete walks with snmpwalk -v1 and -v2c over 1.3.6.1.2.1 and 1.3.6.1.4.1 return
# exactly the file's objects, in file order (so the number of objects equals the number of object
# lines; '#' comment lines and empty lines are not objects). The files are served under their
# communities (file name without .snmprec) from a copy, on the first free 127.0.0.N (N from 2,
# the same lock files as the test support's loopback leases) on port 161 when run as root, else
# on port 16161. snmpsimd is stopped and the copy removed on exit.
#
# Needs /usr/bin/snmpsimd (package snmpsim), snmpwalk/snmpget (package snmp), flock, ss.
# Exit status 0 when every file passes, 1 when one fails, 2 when the check could not run.

set -u

here=$(cd "$(dirname "$0")" && pwd)
if [ $# -gt 0 ]; then
  files=("$@")
else
  files=("$here"/*.snmprec)
fi

snmpsimd=/usr/bin/snmpsimd
for tool in "$snmpsimd" snmpwalk snmpget flock ss /usr/bin/python3; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "validate: $tool not found" >&2
    exit 2
  fi
done

fail=0
note_fail() {
  echo "FAIL $1" >&2
  fail=1
}

# --- static checks --------------------------------------------------------------------------
for f in "${files[@]}"; do
  if [ ! -r "$f" ]; then
    echo "validate: cannot read $f" >&2
    exit 2
  fi
  if ! /usr/bin/python3 - "$f" <<'EOF'
import re, sys
path = sys.argv[1]
ok = True
prev = None
seen = set()
types = {"2", "4", "4x", "5", "6", "64", "65", "66", "67", "68", "70"}
for no, line in enumerate(open(path, encoding="utf-8", errors="surrogateescape"), 1):
    line = line.rstrip("\n")
    if not line.strip() or line.startswith("#"):
        continue
    parts = line.split("|", 2)
    if len(parts) != 3 or not re.fullmatch(r"[0-9]+(\.[0-9]+)+", parts[0]):
        print(f"{path}:{no}: not OID|TYPE|VALUE: {line!r}", file=sys.stderr); ok = False; continue
    oid, typ, value = parts
    base = typ.split(":", 1)[0]
    if base not in types:
        print(f"{path}:{no}: unknown type {typ}", file=sys.stderr); ok = False
    if base == "4x" and not re.fullmatch(r"([0-9a-fA-F]{2})*", value):
        print(f"{path}:{no}: bad hex value", file=sys.stderr); ok = False
    if base == "2" and ":" not in typ and not re.fullmatch(r"-?[0-9]+", value):
        print(f"{path}:{no}: bad INTEGER value", file=sys.stderr); ok = False
    key = tuple(int(x) for x in oid.split("."))
    if key in seen:
        print(f"{path}:{no}: duplicate OID {oid}", file=sys.stderr); ok = False
    if prev is not None and key <= prev:
        print(f"{path}:{no}: OID {oid} not above the previous one", file=sys.stderr); ok = False
    if not (oid.startswith("1.3.6.1.2.1.") or oid.startswith("1.3.6.1.4.1.")):
        print(f"{path}:{no}: OID {oid} outside 1.3.6.1.2.1 and 1.3.6.1.4.1", file=sys.stderr); ok = False
    seen.add(key)
    prev = key
sys.exit(0 if ok else 1)
EOF
  then
    note_fail "$(basename "$f"): format"
  fi
done

# --- agent ----------------------------------------------------------------------------------
work=$(mktemp -d /tmp/psw-printers-validate.XXXXXX) || exit 2
agent_pid=""
cleanup() {
  if [ -n "$agent_pid" ]; then
    kill -- "-$agent_pid" 2>/dev/null || kill "$agent_pid" 2>/dev/null
    wait "$agent_pid" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 2' INT TERM

mkdir -p "$work/data" "$work/cache"
for f in "${files[@]}"; do
  cp "$f" "$work/data/"
done
chmod 755 "$work" "$work/data"
chmod 644 "$work"/data/*

user_args=()
if [ "$(id -u)" -eq 0 ]; then
  port=161
  chown nobody "$work/cache"
  user_args=(--process-user=nobody --process-group=nogroup)
else
  port=16161
fi

lock_dir=${PSW_TEST_LOCK_DIR:-/tmp}
address=""
for n in $(seq 2 254); do
  exec {lock_fd}>>"$lock_dir/psw-test-loopback-$n.lock" || continue
  if flock -n "$lock_fd"; then
    if ! ss -Hlun "( sport = :$port )" | awk '{print $4}' |
        grep -qE "^(127\.0\.0\.$n|0\.0\.0\.0|\*|\[::\]|\[::ffff:127\.0\.0\.$n\]):$port\$"; then
      address=127.0.0.$n
      break
    fi
    flock -u "$lock_fd"
  fi
  exec {lock_fd}>&-
done
if [ -z "$address" ]; then
  echo "validate: no free loopback address for port $port" >&2
  exit 2
fi

setsid "$snmpsimd" --data-dir="$work/data" --cache-dir="$work/cache" "${user_args[@]}" \
  --agent-udpv4-endpoint="$address:$port" --logging-method=file:"$work/snmpsimd.log" \
  >"$work/snmpsimd.out" 2>&1 &
agent_pid=$!

export MIBS="" MIBDIRS=/dev/null
first=$(basename "${files[0]}" .snmprec)
ready=0
for _ in $(seq 1 100); do
  if ! kill -0 "$agent_pid" 2>/dev/null; then
    break
  fi
  if snmpget -v2c -c "$first" -r0 -t0.2 -On "udp:$address:$port" 1.3.6.1.2.1.1.2.0 >/dev/null 2>&1; then
    ready=1
    break
  fi
  sleep 0.1
done
if [ "$ready" -ne 1 ]; then
  echo "validate: snmpsimd did not answer on $address:$port" >&2
  cat "$work/snmpsimd.out" "$work/snmpsimd.log" 2>/dev/null | tail -20 >&2
  exit 2
fi

# --- walks ----------------------------------------------------------------------------------
for f in "${files[@]}"; do
  name=$(basename "$f" .snmprec)
  grep -v -e '^#' -e '^[[:space:]]*$' "$f" | cut -d'|' -f1 >"$work/$name.expected"
  expected=$(wc -l <"$work/$name.expected")
  for version in 1 2c; do
    out="$work/$name.v$version"
    : >"$out"
    for root in 1.3.6.1.2.1 1.3.6.1.4.1; do
      if ! snmpwalk -v"$version" -c "$name" -r2 -t2 -On "udp:$address:$port" "$root" \
          >>"$out" 2>"$work/$name.err"; then
        note_fail "$name: snmpwalk -v$version $root: $(tr '\n' ' ' <"$work/$name.err")"
      fi
    done
    # the v2c walk shows the end of the MIB view on the last name; it is no object
    grep -v ' = No more variables left in this MIB View' "$out" |
      grep -o '^\.1\.3\.6\.1\.[0-9.]* = ' | sed 's/^\.//; s/ = $//' >"$out.oids"
    walked=$(wc -l <"$out.oids")
    if ! cmp -s "$out.oids" "$work/$name.expected"; then
      note_fail "$name: -v$version walked $walked objects, the file has $expected object lines"
      diff "$work/$name.expected" "$out.oids" | head -10 >&2
    else
      echo "ok   $name: -v$version walked $walked objects = $expected object lines"
    fi
  done
done

exit "$fail"

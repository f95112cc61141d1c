#!/usr/bin/env bash
# Installs what is missing, builds libpsw and its command-line program, and runs the main job:
# find a printer and show its status.
#
#   tools/quickstart.sh                 start a simulated printer of the supported model on a free
#                                       loopback address, then discover it and show its status
#   tools/quickstart.sh ADDRESS         discover and show the printer at ADDRESS instead
#
# Options:
#   --community C   read and discovery community for ADDRESS (default "public"; the simulated
#                   printer always answers "rich")
#   --no-install    do not run tools/install-deps.sh
#   --psw PATH      use this psw program instead of building one
#   --build-dir D   build into D (default build-quickstart in the source tree)
#   --json          JSON output from both commands
#
# Discovery goes to the printer's own (unicast) address: this script never broadcasts. The
# simulated printer (snmpsimd, run as nobody) is stopped when the script ends, however it ends.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

install=1
psw=""
build_dir="$root/build-quickstart"
community=""
address=""
json=()
while [ $# -gt 0 ]; do
  case "$1" in
    --no-install) install=0 ;;
    --psw) psw="${2:?--psw needs a path}"; shift ;;
    --build-dir) build_dir="${2:?--build-dir needs a folder}"; shift ;;
    --community) community="${2:?--community needs a value}"; shift ;;
    --json) json=(--json) ;;
    -h|--help) sed -n '2,19p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "quickstart: unknown option '$1'" >&2; exit 2 ;;
    *) [ -z "$address" ] || { echo "quickstart: one address at most" >&2; exit 2; }
       address="$1" ;;
  esac
  shift
done

say() { echo "quickstart: $*" >&2; }

if [ "$install" = 1 ]; then
  "$root/tools/install-deps.sh"
fi
if [ -z "$psw" ]; then
  say "building into $build_dir"
  cmake -S "$root" -B "$build_dir" -DPSW_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build_dir" -j"$(nproc)" --target psw_cli >/dev/null
  psw="$build_dir/tools/psw"
fi

run_job() {  # address community
  echo "\$ psw discover $1 --community $2${json[*]:+ ${json[*]}}"
  # Discovery lists the supported model only; status reads a printer of any model, so it runs
  # whatever discovery says (exit 5 for another model, 3 for silence, 4 for a wrong community).
  "$psw" discover "$1" --community "$2" --timeout 1500 "${json[@]}" || true
  echo
  echo "\$ psw status $1 --community $2${json[*]:+ ${json[*]}}"
  "$psw" status "$1" --community "$2" "${json[@]}"
}

if [ -n "$address" ]; then
  run_job "$address" "${community:-public}"
  exit $?
fi

# ---- a simulated printer on a free loopback address ----------------------------------------
data="$root/tests/data/printers/rich.snmprec"
[ -r "$data" ] || { say "the simulated printer's data $data is missing"; exit 1; }
[ "$(id -u)" -eq 0 ] || { say "starting the simulated printer on port 161 needs root (or give an ADDRESS)"; exit 1; }
[ -x /usr/bin/snmpsimd ] || { say "snmpsimd is missing (package snmpsim; drop --no-install)"; exit 1; }

work="$(mktemp -d /tmp/psw-quickstart-XXXXXX)"
agent_pid=""
lock_fd=""
cleanup() {
  if [ -n "$agent_pid" ]; then
    kill -TERM -- "-$agent_pid" 2>/dev/null || true
    for _ in $(seq 1 30); do kill -0 "$agent_pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL -- "-$agent_pid" 2>/dev/null || true
    wait "$agent_pid" 2>/dev/null || true
  fi
  if [ -n "$lock_fd" ]; then
    : >"$lock_path" 2>/dev/null || true
    eval "exec $lock_fd>&-"
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

port_free() {  # address: true when nothing is bound to UDP address:161
  /usr/bin/python3 - "$1" <<'PY'
import socket, sys
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
try:
    s.bind((sys.argv[1], 161))
except OSError:
    sys.exit(1)
PY
}

# Take a free 127.0.0.N the way the test programs do (a lock file per address), so that the
# quick start and a running test suite never share an address.
lock_dir="${PSW_TEST_LOCK_DIR:-/tmp}"
address=""
for n in $(seq 2 254); do
  lock_path="$lock_dir/psw-test-loopback-$n.lock"
  exec {fd}<>"$lock_path" || continue
  chmod 666 "$lock_path" 2>/dev/null || true
  if flock -n "$fd" && port_free "127.0.0.$n"; then
    lock_fd="$fd"
    address="127.0.0.$n"
    break
  fi
  eval "exec $fd>&-"
done
[ -n "$address" ] || { say "no free loopback address 127.0.0.2-254 on port 161"; exit 1; }

mkdir -p "$work/data" "$work/cache"
cp "$data" "$work/data/rich.snmprec"
chmod 755 "$work" "$work/data"
chmod 644 "$work/data/rich.snmprec"
touch "$work/snmpsimd.log"
chown nobody:nogroup "$work/cache" "$work/snmpsimd.log"

say "starting a simulated printer on $address:161 (snmpsimd, community rich)"
setsid /usr/bin/snmpsimd --data-dir="$work/data" --cache-dir="$work/cache" \
  --process-user=nobody --process-group=nogroup \
  --agent-udpv4-endpoint="$address:161" \
  --logging-method=file:"$work/snmpsimd.log" >"$work/snmpsimd.out" 2>&1 &
agent_pid=$!
# Lets a test program end this agent should this script die without its trap.
start_time="$(awk '{ sub(/^.*\) /, ""); print $20 }' "/proc/$agent_pid/stat" 2>/dev/null || true)"
echo "$agent_pid $start_time" >"$lock_path"

ready=0
for _ in $(seq 1 100); do
  if ! kill -0 "$agent_pid" 2>/dev/null; then break; fi
  if snmpget -v1 -c rich -r0 -t0.2 -On "$address:161" 1.3.6.1.2.1.1.2.0 >/dev/null 2>&1; then
    ready=1
    break
  fi
  sleep 0.1
done
if [ "$ready" != 1 ]; then
  say "the simulated printer did not answer; its log:"
  tail -n 20 "$work/snmpsimd.out" "$work/snmpsimd.log" >&2 || true
  exit 1
fi

run_job "$address" rich

# Sourced by tools/quickstart.sh and the install tests: starts a simulated printer (snmpsimd
# serving one recording) on a free loopback address leased the way the test programs lease
# theirs (a flock'ed /tmp/psw-test-loopback-N.lock), and stops it when the shell exits.
#
#   start_simulated_printer RECORDING           lease_printer_address, then run_simulated_printer
#   lease_printer_address                       sets printer_address
#   run_simulated_printer RECORDING             sets printer_community; returns once it answers
#   printer_unavailable                         prints why no printer can be started, if so
#   stop_simulated_printer                      (the caller's EXIT trap runs it)

printer_pid=""
printer_lock_fd=""
printer_lock_path=""
printer_address=""
printer_community=""
printer_work=""

printer_unavailable() {
  if [ "$(id -u)" -ne 0 ]; then echo "not root (port 161)"; return 0; fi
  if [ ! -x /usr/bin/snmpsimd ]; then echo "snmpsimd missing (package snmpsim)"; return 0; fi
  if ! command -v snmpget >/dev/null; then echo "snmpget missing (package snmp)"; return 0; fi
  return 1
}

printer_port_free() {  # address
  /usr/bin/python3 - "$1" <<'PY'
import socket, sys
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
try:
    s.bind((sys.argv[1], 161))
except OSError:
    sys.exit(1)
PY
}

stop_simulated_printer() {
  if [ -n "$printer_pid" ]; then
    kill -TERM -- "-$printer_pid" 2>/dev/null || true
    for _ in $(seq 1 30); do kill -0 "$printer_pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL -- "-$printer_pid" 2>/dev/null || true
    wait "$printer_pid" 2>/dev/null || true
    printer_pid=""
  fi
  if [ -n "$printer_lock_fd" ]; then
    : >"$printer_lock_path" 2>/dev/null || true
    eval "exec $printer_lock_fd>&-"
    printer_lock_fd=""
  fi
  if [ -n "$printer_work" ]; then
    rm -rf "$printer_work"
    printer_work=""
  fi
}

lease_printer_address() {
  local lock_dir="${PSW_TEST_LOCK_DIR:-/tmp}" n fd
  for n in $(seq 2 254); do
    printer_lock_path="$lock_dir/psw-test-loopback-$n.lock"
    exec {fd}<>"$printer_lock_path" || continue
    chmod 666 "$printer_lock_path" 2>/dev/null || true
    if flock -n "$fd" && printer_port_free "127.0.0.$n"; then
      printer_lock_fd="$fd"
      printer_address="127.0.0.$n"
      break
    fi
    eval "exec $fd>&-"
  done
  [ -n "$printer_address" ] || { echo "no free loopback address 127.0.0.2-254 on port 161" >&2; return 1; }
}

run_simulated_printer() {  # recording
  local recording="$1"
  printer_community="$(basename "$recording" .snmprec)"

  # A folder of its own: the agent runs as nobody and must reach it.
  printer_work="$(mktemp -d /tmp/psw-printer-XXXXXX)"
  local work="$printer_work"
  mkdir -p "$work/data" "$work/cache"
  cp "$recording" "$work/data/"
  chmod 755 "$work" "$work/data"
  chmod 644 "$work/data/"*
  touch "$work/snmpsimd.log"
  chown nobody:nogroup "$work/cache" "$work/snmpsimd.log"
  setsid /usr/bin/snmpsimd --data-dir="$work/data" --cache-dir="$work/cache" \
    --process-user=nobody --process-group=nogroup \
    --agent-udpv4-endpoint="$printer_address:161" \
    --logging-method=file:"$work/snmpsimd.log" >"$work/snmpsimd.out" 2>&1 &
  printer_pid=$!
  # Lets a test program end this agent should this script die without its trap.
  local start_time
  start_time="$(awk '{ sub(/^.*\) /, ""); print $20 }' "/proc/$printer_pid/stat" 2>/dev/null || true)"
  echo "$printer_pid $start_time" >"$printer_lock_path"

  for _ in $(seq 1 100); do
    kill -0 "$printer_pid" 2>/dev/null || break
    if snmpget -v1 -c "$printer_community" -r0 -t0.2 -On "$printer_address:161" \
         1.3.6.1.2.1.1.2.0 >/dev/null 2>&1; then
      return 0
    fi
    sleep 0.1
  done
  echo "the simulated printer did not answer; its log:" >&2
  tail -n 20 "$work/snmpsimd.out" "$work/snmpsimd.log" >&2 || true
  return 1
}

start_simulated_printer() {  # recording
  lease_printer_address && run_simulated_printer "$1"
}

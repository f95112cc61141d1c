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

# The address is taken the way the test programs take theirs (a lock file per address), so
# that the quick start and a running test suite never share one.
# shellcheck source=simulated_printer.sh
source "$root/tools/simulated_printer.sh"
trap stop_simulated_printer EXIT
trap 'exit 130' INT TERM
lease_printer_address || exit 1
say "starting a simulated printer on $printer_address:161 (snmpsimd, community rich)"
run_simulated_printer "$data" || exit 1

run_job "$printer_address" "$printer_community"

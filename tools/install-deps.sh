#!/usr/bin/env bash
# Installs what building and testing libpsw needs, quietly and only when something is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libsnmp-dev snmp snmpd snmpsim python3-pysnmp4 tshark
  iproute2 valgrind clang libclang-rt-14-dev clang-format codespell
  libcli11-dev nlohmann-json3-dev
  libcpp-httplib-dev prometheus chromium
  lintian scdoc python3-pytest python3-venv python3-pip python3-setuptools python3-wheel
)
packages+=(hyperfine strace)  # wall times and system calls in the benchmark scripts
# The Windows build: mingw-w64 cross compiler and Wine to run its tests (tools/ci/windows.sh).
packages+=(g++-mingw-w64-x86-64-posix wine64 wine)


missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages (${missing[*]}); run this script as root" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
# tshark asks whether non-root users may capture; the answer does not matter here.
echo "wireshark-common wireshark-common/install-setuid boolean false" | debconf-set-selections
echo "install-deps: installing ${missing[*]}"
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

#!/usr/bin/env bash
# Installs what is missing, builds libpsw and its command-line program, and runs the main job.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

"$root/tools/install-deps.sh"
cmake -S "$root" -B "$root/build-quickstart" -DPSW_BUILD_TESTS=OFF >/dev/null
cmake --build "$root/build-quickstart" -j"$(nproc)" >/dev/null
"$root/build-quickstart/tools/psw" about

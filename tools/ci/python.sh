#!/usr/bin/env bash
# The Python binding: installs bindings/python with pip (no index, no build isolation) into a
# virtual environment of its own, then runs its pytest suite against the library of a build
# folder: records equal to a C caller's, the exception of each result code, the import-time
# layout check, discovery inside network namespaces the tests make and remove.
#
#   tools/ci/python.sh [BUILD_DIR]     (default build; the stage builds the targets it needs)
# Environment: PSW_JOBS (default 2); CI set makes a missing peer a failure.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
BUILD="$(cd "${1:-$ROOT/build}" && pwd)"
JOBS="${PSW_JOBS:-2}"
PYTHON=/usr/bin/python3  # Debian's, which has pytest, setuptools and wheel
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cmake --build "$BUILD" -j"$JOBS" --target psw psw_python_reference psw_python_layout_file >/dev/null
# The committed layout file is the one the headers give.
cmp "$BUILD/bindings/python/_layout.py" "$ROOT/bindings/python/psw/_layout.py" \
  || { echo "python: bindings/python/psw/_layout.py is out of date; copy $BUILD/bindings/python/_layout.py over it" >&2; exit 1; }

export PSW_LIBRARY="$(readlink -f "$BUILD/src/libpsw.so.0")"
echo "--- pip install ./bindings/python"
"$PYTHON" -m venv --system-site-packages "$work/venv"
(cd "$ROOT" && "$work/venv/bin/python" -m pip install --quiet --no-build-isolation --no-index ./bindings/python)
rm -rf "$ROOT/bindings/python/build" "$ROOT/bindings/python/libpsw.egg-info"
"$work/venv/bin/python" -c 'import psw, sys; assert "site-packages" in psw.__file__, psw.__file__' \
  || { echo "python: the installed package is not the one imported" >&2; exit 1; }

echo "--- pytest"
# From a folder outside the source tree, so that `import psw` finds the installed package.
cd "$work"
PSW_REFERENCE_READER="$BUILD/bindings/python/psw_python_reference" \
  "$work/venv/bin/python" -m pytest -p no:cacheprovider -q -rs "$ROOT/bindings/python/tests"

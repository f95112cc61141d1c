#!/usr/bin/env bash
# The install tree works from any prefix: installed into two temporary prefixes (the second then
# moved elsewhere), psw runs without LD_LIBRARY_PATH, and a C consumer builds and runs through
# the installed pkg-config file and through find_package(psw) of each tree.
#
#   relocatable_install_test.sh BUILD_DIR
set -euo pipefail
build_dir="$1"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
unset LD_LIBRARY_PATH

# check_tree PREFIX NAME: psw and both consumers work from the tree at PREFIX.
check_tree() {
  local prefix="$1" name="$2" pc_dir version
  version="$("$prefix/bin/psw" --version)" || { echo "$name: installed psw does not run" >&2; exit 1; }
  grep -q "$(sed -n 's/^#define PSW_VERSION "\(.*\)"$/\1/p' "$prefix/include/psw/psw.h")" <<<"$version" \
    || { echo "$name: psw --version says '$version'" >&2; exit 1; }
  # The run path is relative to the executable, never the build or install folder.
  if readelf -d "$prefix/bin/psw" | grep -E 'R(UN)?PATH' | grep -q -v '\$ORIGIN'; then
    echo "$name: psw carries an absolute run path:" >&2
    readelf -d "$prefix/bin/psw" | grep -E 'R(UN)?PATH' >&2
    exit 1
  fi
  pc_dir="$(dirname "$(find "$prefix" -name psw.pc | head -n 1)")"
  [ "$(PKG_CONFIG_PATH="$pc_dir" pkg-config --variable=prefix psw)" -ef "$prefix" ] \
    || { echo "$name: psw.pc names another prefix" >&2; exit 1; }
  rm -rf "$work/consumer-$name"
  PKG_CONFIG_PATH="$pc_dir" cmake -S "$here/consumer" -B "$work/consumer-$name" \
    -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
  PKG_CONFIG_PATH="$pc_dir" cmake --build "$work/consumer-$name" --target consumer_cmake consumer_pkgconfig >/dev/null
  "$work/consumer-$name/consumer_cmake" | grep -q 'consumer ok 0'
  "$work/consumer-$name/consumer_pkgconfig" | grep -q 'consumer ok 0'
  # Both consumers took the library of this tree.
  for program in consumer_cmake consumer_pkgconfig; do
    ldd "$work/consumer-$name/$program" | grep 'libpsw\.so' | grep -q "$prefix" \
      || { echo "$name: $program loads another libpsw" >&2; exit 1; }
  done
  echo "$name: psw, pkg-config and find_package ok"
}

cmake --install "$build_dir" --prefix "$work/first" >/dev/null
check_tree "$work/first" first

cmake --install "$build_dir" --prefix "$work/second" >/dev/null
mkdir -p "$work/moved/deeper"
mv "$work/second" "$work/moved/deeper/tree"
check_tree "$work/moved/deeper/tree" moved
echo "relocatable install ok"

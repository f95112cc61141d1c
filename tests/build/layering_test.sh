#!/usr/bin/env bash
# The layer views refuse upward includes. For every pair of layers, a file compiled the way the
# lower layer's objects are (its include view, the public headers) includes a header of the
# other: a header of the same or a lower layer must compile, one of a higher layer must not be
# found. Arguments: the C++ compiler, the source folder, the folder holding the layer views,
# then the layers lowest first.
set -uo pipefail
cxx="$1" src="$2" views="$3"
shift 3
layers=("$@")
probe_dir="$(mktemp -d)"
trap 'rm -rf "$probe_dir"' EXIT

failed=0 checked=0
for ((i = 0; i < ${#layers[@]}; i++)); do
  for ((j = 0; j < ${#layers[@]}; j++)); do
    user="${layers[i]}" used="${layers[j]}"
    header="$(cd "$src" && ls "$used"/*.h | head -n1)"
    printf '#include "%s"\n' "$header" > "$probe_dir/probe.cpp"
    output="$("$cxx" -std=c++20 -fsyntax-only -I "$views/$user" -I "$src/../include" \
      "$probe_dir/probe.cpp" 2>&1)"
    rc=$?
    checked=$((checked + 1))
    if ((j <= i)) && ((rc != 0)); then
      echo "FAIL: $user cannot include its own or a lower layer's $header:"
      echo "$output" | head -n 5
      failed=$((failed + 1))
    elif ((j > i)) && { ((rc == 0)) || ! grep -q "$header: No such file" <<<"$output"; }; then
      echo "FAIL: $user includes $header of a higher layer (exit $rc)"
      echo "$output" | head -n 5
      failed=$((failed + 1))
    fi
  done
done
echo "layering: $checked include pairs checked, $failed wrong"
((failed == 0))

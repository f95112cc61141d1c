#!/usr/bin/env bash
# The manual pages render with man, and psw(1) documents what the program offers: every command
# of `psw --help` has its entry under COMMANDS, and every option of `psw --help` and of each
# command's --help appears in the page. libpsw(3) names every result code of psw_result.h.
#
#   man_pages_test.sh BUILD_DIR SOURCE_DIR
# Exits 77 (skipped) when the pages were not built (no scdoc), unless CI is set.
set -euo pipefail
build_dir="$1"
source_dir="$2"
psw="$build_dir/tools/psw"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

for page in psw.1 libpsw.3; do
  if [ ! -f "$build_dir/man/$page.gz" ]; then
    if [ -n "${CI:-}" ]; then
      echo "$page was not built (is scdoc installed?) and CI is set" >&2
      exit 1
    fi
    echo "skipped: $page was not built (scdoc missing)"
    exit 77
  fi
  # Wide lines, plain ASCII: options and names are never broken or turned into other dashes.
  LC_ALL=C MANWIDTH=1000 man -l "$build_dir/man/$page.gz" 2>"$work/$page.err" | col -b -x >"$work/$page.txt"
  if [ -s "$work/$page.err" ]; then
    echo "man -l $page warns:" >&2
    cat "$work/$page.err" >&2
    exit 1
  fi
  grep -q '^NAME' "$work/$page.txt" || { echo "$page renders without a NAME section" >&2; exit 1; }
done

missing=()
# The commands: the lines after "commands:" up to the first empty line of the top-level help.
commands="$("$psw" --help | awk '/^commands:/ { listing = 1; next } listing && NF == 0 { exit } listing { print $1 }')"
[ -n "$commands" ] || { echo "psw --help lists no command" >&2; exit 1; }
sed -n '/^COMMANDS/,/^[A-Z]/p' "$work/psw.1.txt" >"$work/commands.txt"
for command in $commands; do
  grep -q -E "^ +$command( |\$)" "$work/commands.txt" || missing+=("command $command")
done

# The options: every "-x," and "--long" that starts an option line of any help text.
{
  "$psw" --help
  for command in $commands; do "$psw" "$command" --help; done
} | grep -o -E '^ +(-[A-Za-z0-9],)?--[a-z0-9][a-z0-9-]*' | tr ',' '\n' | tr -d ' ' | sort -u >"$work/options.txt"
# The top-level help names --version in its usage line.
echo "--version" >>"$work/options.txt"
[ "$(wc -l <"$work/options.txt")" -gt 10 ] || { echo "too few options found in the help texts" >&2; exit 1; }
while read -r option; do
  grep -q -E -- "(^|[^-A-Za-z0-9])$option([^-A-Za-z0-9]|\$)" "$work/psw.1.txt" || missing+=("option $option")
done <"$work/options.txt"

for section in SYNOPSIS COMMANDS OPTIONS 'EXIT STATUS' ENVIRONMENT EXAMPLES; do
  grep -q "^$section" "$work/psw.1.txt" || missing+=("psw(1) section $section")
done
for section in 'CALL SEQUENCE' THREADING 'RESULT CODES' EXTENSIONS; do
  grep -q "^$section" "$work/libpsw.3.txt" || missing+=("libpsw(3) section $section")
done
# Every result code, by name and value.
while read -r name value; do
  grep -q -E "(^|[^0-9-])$value +\| +$name " "$work/libpsw.3.txt" || missing+=("result code $name ($value)")
done < <(sed -n -E 's/^ +X\((PSW_[A-Z0-9_]+), (-?[0-9]+), .*/\1 \2/p' "$source_dir/include/psw/psw_result.h")

if [ ${#missing[@]} -gt 0 ]; then
  echo "the manual pages lack:" >&2
  printf '  %s\n' "${missing[@]}" >&2
  exit 1
fi
echo "manual pages ok: $(echo "$commands" | wc -w) commands, $(wc -l <"$work/options.txt") options"

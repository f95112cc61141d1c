#!/usr/bin/env bash
# Style checks that need no build:
#   - every C/C++ file changed since the format base (tools/format-base, a commit) is as
#     clang-format would write it (.clang-format at the root);
#   - codespell finds no misspelling in the sources, tools, tests and documents.
# Exit 0 when both pass; prints each offending file or word otherwise. Outside a git checkout
# the format check covers every file.
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
failed=0

code_pattern='\.(c|cc|cpp|h|hpp)$'
if git rev-parse --git-dir >/dev/null 2>&1; then
  base="$(tr -d '[:space:]' < tools/format-base)"
  # Changed since the base, committed or not, plus new files git does not ignore.
  mapfile -t files < <({ git diff --name-only --diff-filter=d "$base" --; \
                         git ls-files --others --exclude-standard; } | grep -E "$code_pattern" | sort -u)
else
  mapfile -t files < <(find src include tests tools bench fuzz -type f | grep -E "$code_pattern")
fi
unformatted=0
for file in "${files[@]}"; do
  if ! clang-format --dry-run -Werror "$file" >/dev/null 2>&1; then
    echo "not formatted: $file (clang-format -i $file)"
    unformatted=$((unformatted + 1))
  fi
done
echo "clang-format: ${#files[@]} changed files checked, $unformatted not formatted"
((unformatted == 0)) || failed=1

# Words the project uses on purpose (interface and MIB names) go into tools/codespell-words.txt.
if ! codespell --quiet-level=2 --ignore-words=tools/codespell-words.txt \
    --skip='*.snmprec,*.hex,*.pcap,./build*,./.git,tests/data' \
    src include tests tools bench fuzz docs bindings cmake README.md CONTRIBUTING.md BENCHMARKS.md; then
  echo "codespell: misspellings above (add a deliberate word to tools/codespell-words.txt)"
  failed=1
else
  echo "codespell: no misspelling"
fi
exit $failed

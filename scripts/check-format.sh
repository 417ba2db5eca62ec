#!/usr/bin/env bash
# Lists the C++ files that differ from the tree's format (.clang-format at the
# top) and fails if there are any; with --fix, formats them in place.
# Every tracked source and header is formatted; the fuzz corpora and the
# recorded tables (.inc) are data. Needs Debian's clang-format (version 14,
# the one the tree is formatted with): other versions break lines otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v clang-format >/dev/null; then
  echo "check-format: clang-format is not installed (apt-get install clang-format)" >&2
  exit 2
fi

mapfile -t files < <(git ls-files '*.cpp' '*.h' ':!:fuzz/corpus/**')
if [[ "${1:-}" == "--fix" ]]; then
  clang-format -i "${files[@]}"
  exit 0
fi

report=$(mktemp)
trap 'rm -f "$report"' EXIT
if ! clang-format --dry-run -Werror "${files[@]}" 2>"$report"; then
  # Only the lines that name a place: the quoted source lines after them may hold file names too.
  grep -oE '^[^: ]+\.(cpp|h):[0-9]+:[0-9]+: ' "$report" | sed 's/:.*//' | sort -u | sed 's/^/not formatted: /' >&2
  echo "check-format: 'make format' formats them" >&2
  exit 1
fi

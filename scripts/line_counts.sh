#!/usr/bin/env bash
# Lines of test sources against lines of everything else: C++, 6502
# assembly (.s, .inc) and shell scripts in the repository, each counted
# without blank lines and lines that hold only a comment. Golden pictures
# and other data do not count.
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
  git ls-files -- "$@" | grep -E '\.(cpp|h|s|inc|sh)$' | while read -r file; do
    case "$file" in
      *.s | *.inc) grep -c -v -E '^\s*(;.*)?$' "$file" || true ;;
      *.sh) grep -c -v -E '^\s*(#.*)?$' "$file" || true ;;
      *) grep -c -v -E '^\s*(//.*)?$' "$file" || true ;;
    esac
  done | awk '{ n += $1 } END { print n + 0 }'
}
tests=$(count tests)
code=$(count . ':!tests')
echo "lines of code outside tests/: $code"
echo "lines of tests:               $tests ($((100 * tests / code))% of the code; the aim is at most 33%)"

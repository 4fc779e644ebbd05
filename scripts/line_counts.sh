#!/usr/bin/env bash
# Lines of the C++ and 6502 assembly (.s, .inc) test sources against lines of
# everything we wrote outside tests/: C++, assembly, shell scripts (.ci/run
# too) and CMake files. Blank lines and lines that hold only a comment do not
# count, nor do golden pictures and other data. The end-to-end shell script
# in tests/ is shown apart, and so is the share without the CMake files.
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
  local kinds=$1
  shift
  git ls-files -- "$@" | grep -E "($kinds)\$" | while read -r file; do
    case "$file" in
      *.s | *.inc) grep -c -v -E '^\s*(;.*)?$' "$file" || true ;;
      *.cpp | *.h) grep -c -v -E '^\s*(//.*)?$' "$file" || true ;;
      *) grep -c -v -E '^\s*(#.*)?$' "$file" || true ;;
    esac
  done | awk '{ n += $1 } END { print n + 0 }'
}
sources='\.(cpp|h|s|inc|sh)|^\.ci/run'
cmake='CMakeLists\.txt|\.cmake'
code=$(count "$sources|$cmake" . ':!tests')
without_cmake=$(count "$sources" . ':!tests')
tests=$(count '\.(cpp|h|s|inc)' tests)
percent() { awk -v t="$1" -v c="$2" 'BEGIN { printf "%.1f%%", 100 * t / c }'; }
echo "lines of code outside tests/: $code ($without_cmake without CMake files)"
echo "lines of tests:               $tests: $(percent "$tests" "$code") of the code" \
  "($(percent "$tests" "$without_cmake") without CMake files); the aim is at most a third"
echo "end-to-end shell test:        $(count '\.sh' tests) (not counted above)"

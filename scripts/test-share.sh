#!/usr/bin/env bash
# Prints how large the tests are beside the code they test: non-blank lines that are not comment lines, of
# the tracked *.cpp and *.h files, in tests/ against everything outside tests/ and bench/. The guide is a
# quarter to a third; past LIMIT (0.40 unless given) the script fails.
set -euo pipefail
cd "$(dirname "$0")/.."
LIMIT=${1:-0.40}

count() {  # count < list of files
  xargs -r cat | sed -E 's@^[[:space:]]*//.*$@@' | grep -vE '^[[:space:]]*$' |
    grep -vcE '^[[:space:]]*(/\*|\*)' || true
}

files=$(git ls-files -- '*.cpp' '*.h')
tests=$(grep -E '^tests/' <<<"$files" | count)
code=$(grep -vE '^(tests|bench)/' <<<"$files" | count)
share=$(awk -v t="$tests" -v c="$code" 'BEGIN { printf "%.3f", t / c }')
echo "tests: $tests lines, code: $code lines, tests/code = $share (at most $LIMIT)"
awk -v s="$share" -v l="$LIMIT" 'BEGIN { exit !(s <= l) }' || {
  echo "the tests have grown past $LIMIT of the code: make them shorter (tables, TestRows) before adding more" >&2
  exit 1
}

#!/usr/bin/env bash
# Runs clang-tidy with the repository's .clang-tidy over the sources of a configured build folder (its
# compile_commands.json); any finding fails.
#   scripts/tidy.sh BUILD_DIR          every source file
#   scripts/tidy.sh BUILD_DIR changed  only the sources changed by the last commit (a changed header is
#                                      checked through the source file of the same name), for quick runs
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1 scope=${2:-all}
[ -f "$build/compile_commands.json" ] || { echo "no $build/compile_commands.json: configure first" >&2; exit 1; }

# The project's own sources as the build compiles them; moc's and uic's output is not ours to fix.
mapfile -t sources < <(grep -o '"file": "[^"]*"' "$build/compile_commands.json" | cut -d'"' -f4 |
  grep -v '_autogen/' | sort -u)
if [ "$scope" = changed ]; then
  # A one-commit clone has no parent to compare with: then everything is checked.
  if changed=$(git diff --name-only HEAD~1 -- '*.cpp' '*.h' 2>/dev/null); then
    wanted=()
    for f in $changed; do wanted+=("$PWD/${f%.*}.cpp"); done
    mapfile -t sources < <(printf '%s\n' "${sources[@]}" | grep -Fxf <(printf '%s\n' "${wanted[@]}" "") || true)
  fi
fi
if [ ${#sources[@]} -eq 0 ]; then echo "clang-tidy: nothing to check"; exit 0; fi
echo "clang-tidy: ${#sources[@]} files"
# run-clang-tidy takes regular expressions; each path is matched whole.
patterns=()
for f in "${sources[@]}"; do patterns+=("^$(printf '%s' "$f" | sed 's/[][\.*^$+?(){}|]/\\&/g')\$"); done
log=$(mktemp)
trap 'rm -f "$log"' EXIT
rc=0
nice run-clang-tidy -p "$build" -quiet -j "${JOBS:-$(nproc)}" "${patterns[@]}" >"$log" 2>&1 || rc=$?
# The findings, without the per-file chatter.
sed 's/\x1b\[[0-9;]*m//g' "$log" | grep -v '^[0-9]* warnings\? generated\.$\|^Suppressed [0-9]* warnings\|^Use -header-filter=\|^clang-tidy-14 \|^/usr/bin/clang-tidy' ||
  true
exit $rc

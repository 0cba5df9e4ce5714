#!/usr/bin/env bash
# Measures which of the faults in tests/faults/faults.txt the test suite catches.
#
#   bash tests/faults/run.sh [BUILD_DIR] [fault-id...]
#
# BUILD_DIR is a Debug Ninja build of this tree (default: build; configured here as scripts/test.sh does
# if it is missing). With no ids every fault in the list is tried. For each fault, one at a time: the
# source file gets the fault, the test folders the fault names are built (their tests/<folder>/all
# targets), every test program of those folders (the executables named *_tests) is run, and the file is
# put back. The fault is caught when a program fails, missed when all pass; a fault that does not compile
# is reported as "does not build" and is a bad entry in the list. A fault whose old text is no longer
# found exactly once is "stale" and skipped.
#
# Prints one line per fault and "caught N of M" (M counts the faults that built), and writes the same to
# BUILD_DIR/faults-result.txt; the programs that failed and their failed tests go to
# BUILD_DIR/faults-logs/<id>.txt.
#
# Environment: passed through to the tests as it is.
#   - QT_QPA_PLATFORM=offscreen is set when unset.
#   - The PostgreSQL tests skip unless ZV_TEST_PG holds libpq key=value pairs of a test database. Start a
#     throwaway cluster first and export its pairs, and ZV_REQUIRE_PG=1 so that no PostgreSQL test skips
#     silently, e.g.:
#       mkdir -p /tmp/pgs && chmod 755 /tmp/pgs
#       export ZV_TEST_PG=$(bash scripts/pg-cluster.sh start /tmp/pgs/pg 54329) ZV_REQUIRE_PG=1
#       ...
#       bash scripts/pg-cluster.sh stop /tmp/pgs/pg
#     (scripts/test.sh does the same on a free port.) Every test process works in a schema of its own,
#     so a cluster may be shared.
#   - FAULT_TIMEOUT: seconds one test program may run (default 300).
#   - FAULT_FIRST_FAIL=1: stop running a fault's programs at the first that fails. The verdicts are the
#     same; only the list of every program that catches a fault (in the logs) is shorter. The folders
#     run in the order the fault's run: line names them.
#   - JOBS: build jobs (default: the number of processors).
#
# The files the chosen faults touch must have no uncommitted changes: the script refuses to start
# otherwise, so a run can never lose work. It puts every file back as it found it, also when stopped.
set -uo pipefail
cd "$(dirname "$0")/../.."

LIST=tests/faults/faults.txt
APPLY=(python3 tests/faults/apply.py)

BUILD=build
if [ $# -gt 0 ] && ! "${APPLY[@]}" list "$LIST" | cut -f1 | grep -qxF -- "$1"; then
  BUILD=$1
  shift
fi
BUILD=${BUILD%/}
JOBS=${JOBS:-$(nproc)}
TIMEOUT=${FAULT_TIMEOUT:-300}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

# The list, validated as a whole before anything is touched.
if ! table=$("${APPLY[@]}" list "$LIST"); then
  echo "the fault list cannot be read" >&2
  exit 2
fi
declare -A FILE WHAT RUN
ORDER=()
while IFS=$'\t' read -r id file run what; do
  FILE[$id]=$file RUN[$id]=$run WHAT[$id]=$what
  ORDER+=("$id")
done <<<"$table"

if [ $# -gt 0 ]; then
  for id in "$@"; do
    [ -n "${FILE[$id]:-}" ] || { echo "no fault $id in $LIST" >&2; exit 2; }
  done
  ORDER=("$@")
fi

# Never touch a file holding someone's uncommitted work.
files=()
for id in "${ORDER[@]}"; do files+=("${FILE[$id]}"); done
mapfile -t files < <(printf '%s\n' "${files[@]}" | sort -u)
if [ -n "$(git status --porcelain -- "${files[@]}")" ]; then
  echo "these files have uncommitted changes; commit or stash them first:" >&2
  git status --short -- "${files[@]}" >&2
  exit 2
fi

if [ ! -f "$BUILD/build.ninja" ]; then
  echo "configuring $BUILD"
  cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZV_WERROR=ON >/dev/null || exit 2
fi

SAVED=$(mktemp -d /tmp/zv-faults.XXXXXX)
APPLIED=   # the file that holds a fault right now
restore() {
  if [ -n "$APPLIED" ]; then
    # Written over in place (a fresh modification time, so the next build compiles it again).
    cat "$SAVED/original" >"$APPLIED"
    APPLIED=
  fi
}
finish() {
  restore
  rm -rf "$SAVED"
}
trap finish EXIT
trap 'echo "stopped" >&2; exit 130' INT TERM

targets_of() {  # targets_of "folder..." -> the build targets of those test folders
  local f
  for f in $1; do printf 'tests/%s/all\n' "$f"; done
}
programs_of() {  # programs_of "folder..." -> their test programs
  local f
  for f in $1; do
    find "$BUILD/tests/$f" -maxdepth 1 -type f -perm -u+x -name '*_tests' | sort
  done
}

# The unchanged tree must build, or every fault would look like one that does not.
mapfile -t all_folders < <(for id in "${ORDER[@]}"; do printf '%s\n' ${RUN[$id]}; done | sort -u)
echo "building the unchanged tree ($(printf '%s ' "${all_folders[@]}"))"
mapfile -t all_targets < <(targets_of "${all_folders[*]}")
if ! cmake --build "$BUILD" -j "$JOBS" --target "${all_targets[@]}" >"$SAVED/build.log" 2>&1; then
  tail -30 "$SAVED/build.log" >&2
  echo "the unchanged tree does not build" >&2
  exit 2
fi

LOGS=$BUILD/faults-logs
mkdir -p "$LOGS"
RESULT=$BUILD/faults-result.txt
: >"$RESULT"
say() { echo "$*" | tee -a "$RESULT"; }

caught=0 built=0 broken=0 stale=0
start=$SECONDS
for id in "${ORDER[@]}"; do
  file=${FILE[$id]} what=${WHAT[$id]} run=${RUN[$id]}
  log=$LOGS/$id.txt
  if ! "${APPLY[@]}" check "$LIST" . "$id" 2>"$log"; then
    say "stale $id $what"
    stale=$((stale + 1))
    continue
  fi
  cp "$file" "$SAVED/original"
  APPLIED=$file
  if ! "${APPLY[@]}" apply "$LIST" . "$id" 2>>"$log"; then
    restore
    say "stale $id $what"
    stale=$((stale + 1))
    continue
  fi
  t0=$SECONDS
  mapfile -t targets < <(targets_of "$run")
  if ! cmake --build "$BUILD" -j "$JOBS" --target "${targets[@]}" >"$SAVED/build.log" 2>&1; then
    restore
    { echo "== build"; grep -E 'error|Error' "$SAVED/build.log" | head -20; } >>"$log"
    say "does not build $id $what"
    broken=$((broken + 1))
    continue
  fi
  built=$((built + 1))
  failed=()
  while read -r prog; do
    [ -n "$prog" ] || continue
    out=$SAVED/test.log
    timeout "$TIMEOUT" "$prog" --gtest_brief=1 >"$out" 2>&1
    rc=$?
    if [ $rc -ne 0 ]; then
      failed+=("${prog#"$BUILD"/tests/}")
      {
        echo "== ${prog#"$BUILD"/} exit $rc"
        grep -E '^\[  FAILED  \]' "$out" | sort -u | head -20
        [ $rc -eq 124 ] && echo "(timed out after $TIMEOUT s)"
      } >>"$log"
    fi
    [ ${#failed[@]} -gt 0 ] && [ "${FAULT_FIRST_FAIL:-0}" = 1 ] && break
  done < <(programs_of "$run")
  restore
  echo "== $((SECONDS - t0)) s" >>"$log"
  if [ ${#failed[@]} -gt 0 ]; then
    caught=$((caught + 1))
    say "caught $id $what"
  else
    say "MISSED $id $what"
  fi
done

summary="caught $caught of $built"
[ $broken -gt 0 ] && summary+=" ($broken do not build)"
[ $stale -gt 0 ] && summary+=" ($stale stale)"
say "$summary"
echo "in $((SECONDS - start)) s; details in $LOGS/"
[ $broken -eq 0 ] && [ $stale -eq 0 ]

#!/usr/bin/env bash
# Checks the formatting, builds Trellvark, runs clang-tidy on the sources the last commit changed, and runs
# every test: once in a normal build and once with AddressSanitizer (leaks included),
# UndefinedBehaviorSanitizer, each against SQLite and a throwaway PostgreSQL cluster.
# TIDY=all checks every source file instead (about 20 minutes of two cores).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

JOBS=${JOBS:-$(nproc)}
build() {  # build DIR extra-cmake-args...
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZV_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$JOBS"
}

PGROOT=$(mktemp -d /tmp/zv-pg.XXXXXX)
chmod 755 "$PGROOT"
cleanup() { bash scripts/pg-cluster.sh stop "$PGROOT/pg"; rm -rf "$PGROOT"; }
trap cleanup EXIT

# A free loopback port for the cluster.
PORT=
for _ in $(seq 1 50); do
  p=$((20000 + RANDOM % 20000))
  if ! (exec 3<>/dev/tcp/127.0.0.1/$p) 2>/dev/null; then PORT=$p; break; fi
done
[ -n "$PORT" ] || { echo "no free port for PostgreSQL" >&2; exit 1; }

export ZV_TEST_PG
ZV_TEST_PG=$(bash scripts/pg-cluster.sh start "$PGROOT/pg" "$PORT")
export ZV_TEST_PG_CLUSTER=$PGROOT/pg  # the reconnect tests restart its server
export ZV_REQUIRE_PG=1  # a PostgreSQL test never skips silently here
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$PGROOT/runtime}
mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
echo "PostgreSQL test cluster: $ZV_TEST_PG"

status=0
echo "== Formatting (.clang-format)"
start=$SECONDS
if git rev-parse --git-dir >/dev/null 2>&1; then
  git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror || status=1
else
  find . -path './build*' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 clang-format --dry-run -Werror || status=1
fi
echo "formatting checked in $((SECONDS - start)) s"

echo "== Size of the tests beside the code"
git rev-parse --git-dir >/dev/null 2>&1 && { bash scripts/test-share.sh || status=1; }

echo "== Size of each source file"
# About 600 lines at most; a file past 650 is split by what it holds.
if git rev-parse --git-dir >/dev/null 2>&1; then
  big=$(git ls-files -z '*.cpp' '*.h' | xargs -0 wc -l | awk '$2 != "total" && $1 > 650')
  if [ -n "$big" ]; then
    printf '%s\n' "$big"
    echo "source files over 650 lines: split them by what they hold" >&2
    status=1
  else
    echo "no source file over 650 lines"
  fi
fi

echo "== Build and test"
build build
ctest --test-dir build --output-on-failure -j "$JOBS" || status=1

echo "== clang-tidy (.clang-tidy)"
start=$SECONDS
bash scripts/tidy.sh build "${TIDY:-changed}" || status=1
echo "clang-tidy ran in $((SECONDS - start)) s"

echo "== Benchmarks once at scale 0.01 (they must work; nothing is timed here)"
smoke() {
  timeout 120 ./build/bench/zv_bench "$@" --scale 0.01 --benchmark_min_time=0 >"$PGROOT/bench.log" 2>&1 ||
    { cat "$PGROOT/bench.log"; echo "benchmark smoke run failed: $*" >&2; status=1; }
}
smoke --sqlite "$PGROOT/bench/refdb.db"
smoke --pg "$ZV_TEST_PG"
# The growth table, from scale 0.001 to 0.01, once: every list must be measured at both scales.
growth() {
  ZV_GROWTH_MIN_TIME=0 timeout 300 bash scripts/growth.sh ./build/bench/zv_bench 0.01 1 "$@" \
    >"$PGROOT/growth.log" 2>&1 ||
    { cat "$PGROOT/growth.log"; echo "growth table failed: $*" >&2; status=1; }
}
growth --sqlite "$PGROOT/bench"
growth --pg "$ZV_TEST_PG"

echo "== Build and test with AddressSanitizer and UndefinedBehaviorSanitizer"
build build-asan -DZV_SANITIZE=ON
# A leak fails the test that leaked; tests/lsan.supp names the leaks that are a library's own. The ODBC
# tests unwind slowly: the driver's leak is only recognised by frames the fast unwinder cannot reach.
asan_ctest() {  # asan_ctest extra-ASAN_OPTIONS ctest-args...
  ASAN_OPTIONS=detect_leaks=1$1 LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0 \
    UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build-asan --output-on-failure -j "$JOBS" "${@:2}" ||
    status=1
}
asan_ctest "" -E '^Odbc'
asan_ctest ":fast_unwind_on_malloc=0" -R '^Odbc'

exit $status

#!/usr/bin/env bash
# Builds the benchmarks in Release (in build-bench/), generates the reference database of the scale once
# (kept in build-bench/refdb/ for SQLite; for PostgreSQL in the database named by ZV_BENCH_PG, libpq
# pairs, or else in a cluster of the script's own kept in build-bench/pg/) and runs the benchmarks on
# SQLite and on PostgreSQL: the directories, the order and cash journals, the client card's pages, the
# order load, form opening and save, the salary lists and worker views, the document merge and the
# spreadsheet reports, each beside its raw limit; then each speed target with PASS or FAIL (scripts/targets.sh);
# then how the lists grow from a tenth of the scale to it.
#   bash scripts/bench.sh [SCALE] [Google Benchmark flags...]      SCALE: 1.0 (default), 0.1, 0.01
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

SCALE=${1:-1.0}
[ $# -gt 0 ] && shift
JOBS=${JOBS:-$(nproc)}
OUT=build-bench
cmake -S . -B "$OUT" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZV_TESTS=OFF -DZV_BENCH=ON >/dev/null
cmake --build "$OUT" -j "$JOBS" --target zv_bench zv_refdb

PG_BIN=/usr/lib/postgresql/15/bin
PGDIR=$PWD/$OUT/pg
as_pg() { if [ "$(id -u)" = 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi; }
STARTED=
stop_pg() { [ -n "$STARTED" ] && as_pg $PG_BIN/pg_ctl -D "$PGDIR/data" -m fast -w stop >/dev/null 2>&1 || true; }
trap stop_pg EXIT

PG=${ZV_BENCH_PG:-}
if [ -z "$PG" ]; then
  PORT=
  for _ in $(seq 1 50); do
    p=$((20000 + RANDOM % 20000))
    if ! (exec 3<>/dev/tcp/127.0.0.1/$p) 2>/dev/null; then PORT=$p; break; fi
  done
  [ -n "$PORT" ] || { echo "no free port for PostgreSQL" >&2; exit 1; }
  if [ -f "$PGDIR/data/PG_VERSION" ]; then
    # The kept cluster, with the reference databases of earlier runs; settings as scripts/pg-cluster.sh.
    as_pg $PG_BIN/pg_ctl -D "$PGDIR/data" -l "$PGDIR/log" -w \
      -o "-c listen_addresses=127.0.0.1 -p $PORT -k $PGDIR -c fsync=off -c synchronous_commit=off -c full_page_writes=off" \
      start >/dev/null
    PG="host=127.0.0.1 port=$PORT dbname=zv_test user=$(id -un)"
  else
    rm -rf "$PGDIR"
    PG=$(bash scripts/pg-cluster.sh start "$PGDIR" "$PORT")
  fi
  STARTED=1
fi

SQLITE=$PWD/$OUT/refdb/refdb-$SCALE.db
echo "== Reference databases, scale $SCALE"
"$OUT/bench/zv_refdb" --sqlite "$SQLITE" --scale "$SCALE"
"$OUT/bench/zv_refdb" --pg "$PG" --scale "$SCALE"
# Quick calls repeat for two seconds to settle; a list at full scale runs once.
echo "== SQLite"
"$OUT/bench/zv_bench" --sqlite "$SQLITE" --scale "$SCALE" --benchmark_min_time=2 \
  --benchmark_out="$OUT/sqlite-$SCALE.csv" --benchmark_out_format=csv "$@"
echo "== PostgreSQL"
"$OUT/bench/zv_bench" --pg "$PG" --scale "$SCALE" --benchmark_min_time=2 \
  --benchmark_out="$OUT/postgres-$SCALE.csv" --benchmark_out_format=csv "$@"
# The targets are set for the full scale; at a smaller one the table only shows the figures.
echo "== Targets, scale $SCALE"
bash scripts/targets.sh "$OUT/sqlite-$SCALE.csv" Sqlite
bash scripts/targets.sh "$OUT/postgres-$SCALE.csv" Postgres
# How the lists grow from a tenth of the scale to the scale (ZV_BENCH_GROWTH=0 leaves this out).
if [ "${ZV_BENCH_GROWTH:-1}" != 0 ]; then
  echo "== Growth, SQLite"
  bash scripts/growth.sh "$OUT/bench/zv_bench" "$SCALE" 3 --sqlite "$OUT/refdb"
  echo "== Growth, PostgreSQL"
  bash scripts/growth.sh "$OUT/bench/zv_bench" "$SCALE" 3 --pg "$PG"
fi

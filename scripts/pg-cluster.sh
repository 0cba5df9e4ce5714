#!/usr/bin/env bash
# Throwaway PostgreSQL 15 cluster on loopback for the tests.
#   scripts/pg-cluster.sh start DIR PORT   -> prints the libpq pairs of the test database
#   scripts/pg-cluster.sh stop DIR
#   scripts/pg-cluster.sh restart|pause|resume DIR   the server restarted, stopped, started again (tests)
set -euo pipefail
B=/usr/lib/postgresql/15/bin
cmd=$1 dir=$2
as_pg() { if [ "$(id -u)" = 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi; }
case "$cmd" in
start)
  port=$3
  mkdir -p "$dir"
  [ "$(id -u)" = 0 ] && chown postgres: "$dir"
  as_pg $B/initdb -D "$dir/data" -U postgres -A trust -E UTF8 --no-locale --no-sync >"$dir/initdb.log" 2>&1
  me=$(id -un)
  # The superusers the tests and benchmarks connect as are trusted; every other role (the program users'
  # own roles) must give its password, as on a shop's server.
  printf 'local all all trust\nhost all postgres,%s 127.0.0.1/32 trust\nhost all all 127.0.0.1/32 scram-sha-256\n' "$me" >"$dir/data/pg_hba.conf"
  [ "$(id -u)" = 0 ] && chown postgres: "$dir/data/pg_hba.conf"
  echo "-c listen_addresses=127.0.0.1 -p $port -k $dir -c fsync=off -c synchronous_commit=off -c full_page_writes=off" >"$dir/options"
  as_pg $B/pg_ctl -D "$dir/data" -l "$dir/log" -w -o "$(cat "$dir/options")" start >/dev/null
  as_pg $B/psql -q -h "$dir" -p "$port" -U postgres -c "CREATE ROLE \"$me\" SUPERUSER LOGIN" -c "CREATE DATABASE zv_test OWNER \"$me\"" >/dev/null 2>&1 ||
    as_pg $B/psql -q -h "$dir" -p "$port" -U postgres -c "CREATE DATABASE zv_test OWNER \"$me\"" >/dev/null
  echo "host=127.0.0.1 port=$port dbname=zv_test user=$me"
  ;;
restart)
  as_pg $B/pg_ctl -D "$dir/data" -m fast -w restart >/dev/null
  ;;
pause)
  as_pg $B/pg_ctl -D "$dir/data" -m fast -w stop >/dev/null
  ;;
resume)
  as_pg $B/pg_ctl -D "$dir/data" -l "$dir/log" -w -o "$(cat "$dir/options")" start >/dev/null
  ;;
stop)
  [ -d "$dir/data" ] && as_pg $B/pg_ctl -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  rm -rf "$dir"
  ;;
esac

#!/usr/bin/env bash
# Builds Trellvark and starts it on the embedded database in a working directory of its own (run/),
# where the document templates and the doc/ folder live. Extra arguments go to the program, e.g.
#   bash scripts/run.sh --database "PGSQL;host=127.0.0.1 dbname=shop user=clerk"
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-run -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZV_TESTS=OFF >/dev/null
cmake --build build-run -j "$(nproc)" --target trellvark
mkdir -p run/doc
cp -n templates/* run/ 2>/dev/null || true
# The program works in its per-user data folder unless started beside a database: make this folder one
# (an empty file is an empty SQLite database, which gets the schema on first open).
[ -e run/Quellmarod.db ] || : >run/Quellmarod.db
cd run
exec ../build-run/app/trellvark "$@"

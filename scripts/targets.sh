#!/usr/bin/env bash
# The speed targets, each beside what it was measured at and its raw limit, with PASS or FAIL. Reads the
# CSV report a zv_bench run wrote (--benchmark_out=FILE --benchmark_out_format=csv).
#   bash scripts/targets.sh REPORT.csv BACKEND      BACKEND: Sqlite or Postgres
# A target is either a time ("ms": the program's call at most so many milliseconds) or a share of the raw
# statement's time in the same run ("raw": the program's call at most so many times the raw one) or the heap
# an open screen holds ("mb": at most so many megabytes). A target whose benchmark is missing from the
# report fails.
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: targets.sh REPORT.csv BACKEND" >&2; exit 2; }
REPORT=$1 BACKEND=$2
TARGETS='
SalaryAccrualList       ms  200  the salary accrual dialog, a new payout, every worker
SalaryAccrualPercent    ms  20   the salary accrual dialog, "% от выпол." changed, the payouts proposed again
JournalDefault          raw 1.3  the order journal, default search
Cars                    raw 1.3  the cars directory
ClientsDefault          raw 1.3  the clients directory, whole
ClientsDebtors          raw 1.3  the clients directory, debtors
CarsFirstScreen         ms  150  the cars directory, first screen of rows shown
ClientsFirstScreen      ms  150  the clients directory, first screen of rows shown
WorksFirstScreen        ms  200  one worker'"'"'s works over every year ("Работы"), first screen and totals shown
JournalFirstScreen      ms  300  the order journal as opened, first screen of orders shown
JournalWholeScreen      mb  40   the order journal as opened, the heap it holds with every order read
CashMonthScreen         ms  300  the cash journal as opened and searched for a month, its rows shown
CashMonthScreen         mb  40   the cash journal as opened and searched for a month, the heap it holds
SalaryJournalScreen     ms  300  the salary journal as opened (the year'"'"'s payouts), its rows shown
SalaryJournalScreen     mb  40   the salary journal as opened (the year'"'"'s payouts), the heap it holds
ChangeLogScreen         ms  300  the change log as opened (the last month'"'"'s entries), its rows shown
ChangeLogMonth          ms  300  the change log'"'"'s search of a month, over a year of entries
BayBoardDay             ms  100  the bay board, one busy day, drawn
BayBoardWeek            ms  300  the bay board, a busy week, drawn
BayFreeSlots            ms  50   free times on the bays for an hour'"'"'s work, from a busy day'"'"'s opening
TyreJournal             ms  100  the tyre storage journal as opened, every set kept now
TyrePlateSearch         ms  20   the tyre storage journal searched for a kept set'"'"'s plate
'
awk -F, -f "$(dirname "$0")/bench-csv.awk" "$REPORT" | awk -v backend="$BACKEND" -v targets="$TARGETS" '
  { ms[$1] = $2; raw[$1] = $3 == "-" ? "" : $3; mb[$1] = $5 }
  END {
    printf "%-24s %10s %10s %12s  %-6s %s\n", "target (" backend ")", "program", "limit", "raw, ms", "", "what"
    n = split(targets, line, "\n"); fails = 0
    for (i = 1; i <= n; i++) {
      if (line[i] == "") continue
      split(line[i], f, " +"); what = line[i]; sub(/^[^ ]+ +[^ ]+ +[^ ]+ +/, "", what)
      name = backend "/" f[1]
      if (!(name in ms)) { printf "%-24s %10s %10s %12s  %-6s %s\n", f[1], "—", "", "", "FAIL", what " (not measured)"; fails++; continue }
      if (f[2] == "ms") {
        ok = ms[name] <= f[3]; figure = sprintf("%.1f ms", ms[name]); limit = sprintf("%g ms", f[3])
      } else if (f[2] == "mb") {
        ok = mb[name] != "-" && mb[name] <= f[3]; figure = sprintf("%.1f MB", mb[name]); limit = sprintf("%g MB", f[3])
      } else {
        ratio = raw[name] > 0 ? ms[name] / raw[name] : 1e9
        ok = ratio <= f[3]; figure = sprintf("%.2f×", ratio); limit = sprintf("%g×", f[3])
      }
      rawText = raw[name] == "" ? "" : sprintf("%.1f", raw[name])
      printf "%-24s %10s %10s %12s  %-6s %s\n", f[1], figure, limit, rawText, ok ? "PASS" : "FAIL", what
      if (!ok) fails++
    }
    printf "%d of the targets fail on %s\n", fails, backend
  }'

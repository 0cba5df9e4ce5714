# Reads the CSV report of a zv_bench run (awk -F, -f scripts/bench-csv.awk REPORT) and prints a line per
# benchmark: its name (without "/manual_time", nor "/iterations:N" of one run a fixed number of times), the
# program's time in milliseconds, the raw statement's (raw_ms, "-" when the benchmark has none), the rows
# shown ("-" likewise) and the heap an open screen holds in MB ("heap_mb=…" in the benchmark's label, "-"
# when none). The report names its columns in its header line; what the program says about the database
# before it is left out.
/^name,/ { for (i = 1; i <= NF; i++) { c = $i; gsub(/"/, "", c); at[c] = i }; next }
/^"/ && ("real_time" in at) {
  name = $1; gsub(/"/, "", name); sub(/\/manual_time$/, "", name); sub(/\/iterations:[0-9]+$/, "", name)
  unit = $at["time_unit"]; k = unit == "s" ? 1000 : unit == "us" ? 0.001 : unit == "ns" ? 1e-6 : 1
  raw = ("raw_ms" in at) && $at["raw_ms"] != "" ? $at["raw_ms"] : "-"
  rows = ("rows" in at) && $at["rows"] != "" ? $at["rows"] : "-"
  heap = "-"
  if (("label" in at) && match($at["label"], /heap_mb=[0-9.]+/)) heap = substr($at["label"], RSTART + 8, RLENGTH - 8)
  print name, $at["real_time"] * k, raw, rows, heap
}

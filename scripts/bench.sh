#!/usr/bin/env bash
# Builds the benchmark programs, creates the large benchmark database once (kept in
# $VARNEL_BENCH_DIR, default ~/.cache/varnel-bench) and prints one table of every measured operation:
# the program's time, the bare engine's time for the same statements, their ratio and peak memory.
set -euo pipefail
cd "$(dirname "$0")/.."

programs=(varnel-initdb bench_documents bench_lists)
bash scripts/build.sh "${programs[@]}" >/dev/null

dir="${VARNEL_BENCH_DIR:-$HOME/.cache/varnel-bench}"
db="$dir/VARNEL2013.FDB"
if [ ! -f "$db" ]; then
  echo "Creating the benchmark database in $dir (once; this takes a while)..." >&2
  ./build/varnel-initdb "$dir" --lines 1000000 --items 10000 --partners 2000 --warehouses 20 \
    --types 30 --years 10 >&2
fi

export QT_QPA_PLATFORM=offscreen
results=$(mktemp)
trap 'rm -f "$results"' EXIT
./build/tools/bench_documents "$db" | grep '^@bench|' >>"$results"
./build/tools/bench_lists "$db" | grep '^@bench|' >>"$results"

awk -F'|' '
  BEGIN {
    printf "%-46s %11s %11s %7s %8s  %s\n", "operation", "program ms", "engine ms", "ratio", "peak MB", "note"
  }
  {
    ratio = ($4 > 0) ? sprintf("%.2f", $3 / $4) : "-"
    engine = ($4 >= 0) ? sprintf("%.1f", $4) : "-"
    printf "%-46s %11.1f %11s %7s %8d  %s\n", $2, $3, engine, ratio, $5, $6
  }' "$results"

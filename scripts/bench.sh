#!/usr/bin/env bash
# Builds the benchmark programs, creates the large benchmark database once (kept in
# $VARNEL_BENCH_DIR, default ~/.cache/varnel-bench; or name one with VARNEL_BENCH_DB) and prints one
# table of every measured operation: the program's time, the bare engine's time for the same
# statements, their ratio and the process's peak memory so far. The programs work on copies.
set -euo pipefail
cd "$(dirname "$0")/.."

programs=(varnel-initdb bench_documents bench_lists bench_backup bench_stockreports)
bash scripts/build.sh "${programs[@]}" >/dev/null

dir="${VARNEL_BENCH_DIR:-$HOME/.cache/varnel-bench}"
db="${VARNEL_BENCH_DB:-$dir/VARNEL2013.FDB}"
if [ ! -f "$db" ]; then
  echo "Creating the benchmark database $db (once; this takes a while)..." >&2
  ./build/varnel-initdb "$(dirname "$db")" --lines 1000000 --items 10000 >&2
fi

export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
results="$work/results"
./build/tools/bench_documents "$db" | grep '^@bench|' >>"$results"
./build/tools/bench_lists "$db" | grep '^@bench|' >>"$results"
mkdir "$work/reports"
cp "$db" templates/*.frf "$work/reports/"
./build/tools/bench_stockreports "$work/reports" "${VARNEL_BENCH_YEAR:-2026}" | grep '^@bench|' >>"$results"
rm -rf "$work/reports"
cp "$db" "$work/backup-source.FDB"
./build/tools/bench_backup "$work/backup-source.FDB" "$work" | grep '^@bench|' >>"$results"
rm -f "$work/backup-source.FDB"

awk -F'|' '
  BEGIN {
    printf "%-46s %11s %11s %7s %8s  %s\n", "operation", "program ms", "engine ms", "ratio", "peak MB", "note"
  }
  {
    ratio = ($4 > 0 && $3 >= 0) ? sprintf("%.2f", $3 / $4) : "-"
    engine = ($4 >= 0) ? sprintf("%.1f", $4) : "-"
    program = ($3 >= 0) ? sprintf("%.1f", $3) : "-"
    printf "%-46s %11s %11s %7s %8d  %s\n", $2, program, engine, ratio, $5, $6
  }' "$results"

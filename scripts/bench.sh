#!/usr/bin/env bash
# Builds the benchmark programs, creates the large benchmark database once (1,000,000 lines over ten
# years, 10,000 items, 2,000 partners, 20 warehouses, 30 movement types; kept in $VARNEL_BENCH_DIR,
# default ~/.cache/varnel-bench, or name one with VARNEL_BENCH_DB) and prints one table of every measured
# operation: the program's time, the bare engine's time for the same statements, their ratio and the
# process's peak memory so far. The programs work on copies.
set -euo pipefail
cd "$(dirname "$0")/.."

programs=(varnel-initdb bench_documents bench_lists bench_backup bench_stockreports bench_import bench_engine)
bash scripts/build.sh "${programs[@]}" >/dev/null

dir="${VARNEL_BENCH_DIR:-$HOME/.cache/varnel-bench}"
# VARNEL_BENCH_LINES=10000000 measures a database ten times as large (100,000 items), kept beside the
# first; each size's table is kept too, and a run prints each row's ratio to the other size's figure.
lines="${VARNEL_BENCH_LINES:-1000000}"
if [ "$lines" = 1000000 ]; then
  db="${VARNEL_BENCH_DB:-$dir/full/VARNEL2013.FDB}"
else
  db="${VARNEL_BENCH_DB:-$dir/full$lines/VARNEL2013.FDB}"
fi
if [ ! -f "$db" ]; then
  echo "Creating the benchmark database $db (once; this takes a few minutes)..." >&2
  # Made under another name first, so that an interrupted run leaves no half-made cache behind.
  rm -rf "$(dirname "$db").part"
  ./build/varnel-initdb "$(dirname "$db").part" --lines "$lines" --items $((lines / 100)) --partners 2000 \
    --warehouses 20 --types 30 --years 10 >&2
  mkdir -p "$(dirname "$db")"
  mv "$(dirname "$db").part/VARNEL2013.FDB" "$db"
  rm -rf "$(dirname "$db").part"
fi
year="${VARNEL_BENCH_YEAR:-2026}"

export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
results="$work/results"
gfix_on() { gfix "$@" -user SYSDBA -password quarzline; }

./build/tools/bench_documents "$db" | grep '^@bench|' >>"$results"
./build/tools/bench_lists "$db" | grep '^@bench|' >>"$results"
mkdir "$work/reports"
cp "$db" "$work/reports/VARNEL2013.FDB"
cp templates/*.frf "$work/reports/"
# Its grouped scan follows the optimizer's index plan; bench_engine measures the scan's best plan.
./build/tools/bench_stockreports "$work/reports" "$year" | grep '^@bench|' | grep -v '|one grouped scan' >>"$results"
rm -rf "$work/reports"

# The import posts one committed unit per ticket line; with forced writes every commit waits for the
# disk, which on this machine is most of the time of both sides. Both copies write asynchronously.
cp "$db" "$work/program.FDB"
cp "$db" "$work/engine.FDB"
gfix_on -write async "$work/program.FDB"
gfix_on -write async "$work/engine.FDB"
./build/tools/bench_import "$work/program.FDB" "$work/engine.FDB" | grep '^@bench|' >>"$results"
rm -f "$work/program.FDB" "$work/engine.FDB"

# The engine's own statements under its default page cache, the one varnel-initdb writes into the
# header (which the program rows above ran with), and a larger one.
cp "$db" "$work/engine.FDB"
scans=--scans
for buffers in ${VARNEL_BENCH_BUFFERS:-2048 10000 40000}; do
  gfix_on -buffers "$buffers" "$work/engine.FDB"
  ./build/tools/bench_engine "$work/engine.FDB" "$year" "$buffers buffers" $scans | grep '^@bench|' >>"$results"
  scans=
done
rm -f "$work/engine.FDB"

cp "$db" "$work/backup-source.FDB"
./build/tools/bench_backup "$work/backup-source.FDB" "$work" | grep '^@bench|' >>"$results"
rm -f "$work/backup-source.FDB"

# The table of this size is kept for the other size's runs; the ratio column compares with the other
# size's last table (10M over 1M), when there is one.
mkdir -p "$dir"
cp "$results" "$dir/results-$lines"
small="$dir/results-1000000"
large="$dir/results-$([ "$lines" = 1000000 ] && echo 10000000 || echo "$lines")"
[ -f "$small" ] || small=/dev/null
[ -f "$large" ] || large=/dev/null

awk -F'|' -v small="$small" -v large="$large" '
  BEGIN {
    while ((getline line < small) > 0) { split(line, f, "|"); smallMs[f[2]] = f[3] >= 0 ? f[3] : f[4] }
    while ((getline line < large) > 0) { split(line, f, "|"); largeMs[f[2]] = f[3] >= 0 ? f[3] : f[4] }
  }
  function scale(name) {
    # A row names its size in its operation ("over 1000000 lines"): compare rows of the same place.
    key = name
    gsub(/10000000/, "1000000", key)
    gsub(/ 100000 /, " 10000 ", key)
    if ((key in smallMs) && smallMs[key] > 0 && (name in largeMs || key in largeMs)) {
      big = (name in largeMs) ? largeMs[name] : largeMs[key]
      return sprintf("%.1f", big / smallMs[key])
    }
    return "-"
  }

  BEGIN {
    printf "%-46s %11s %11s %7s %8s %7s  %s\n", "operation", "program ms", "engine ms", "ratio", "peak MB",
      "10M/1M", "note"
  }
  {
    ratio = ($4 > 0 && $3 >= 0) ? sprintf("%.2f", $3 / $4) : "-"
    engine = ($4 >= 0) ? sprintf("%.1f", $4) : "-"
    program = ($3 >= 0) ? sprintf("%.1f", $3) : "-"
    printf "%-46s %11s %11s %7s %8d %7s  %s\n", $2, program, engine, ratio, $5, scale($2), $6
    if ($2 == "item summary: report preparation") preparation = $3
    if ($2 == "one grouped scan of all lines, natural") scan = $4
  }
  END {
    if (preparation > 0 && scan > 0)
      printf "%-46s %11.1f %11.1f %7.2f %8s %7s  %s\n", "item summary preparation vs grouped scan", preparation,
        scan, preparation / scan, "-", "-", "the target: within 2 x the natural scan"
  }' "$results"

#!/usr/bin/env bash
# Dry run and speed rewrite of generated recordings of 100,000 to 1,000,000 lines: seconds,
# and the dry run's peak memory against the file size.
set -euo pipefail
build=${1:-build/default}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '%10s %10s %10s %12s %10s\n' lines MB dryrun_s peak_MB speed_s
for n in 100000 300000 1000000; do
  f="$work/Macro-bench-$n.txt"
  "$build/bench/qb_bench_playback" generate "$n" "$f"
  mb=$(awk -v b="$(stat -c %s "$f")" 'BEGIN{printf "%.1f", b/1048576}')
  out=$( { /usr/bin/time -f '%e %M' "$build/programs/daventi" --dry-run "$f" >/dev/null; } 2>&1 | tail -1)
  secs=${out% *}; kb=${out#* }
  speed=$("$build/bench/qb_bench_playback" speed "$f")
  printf '%10s %10s %10s %12s %10s\n' "$n" "$mb" "$secs" "$(awk -v k="$kb" 'BEGIN{printf "%.1f", k/1024}')" "$speed"
done

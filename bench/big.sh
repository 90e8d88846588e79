#!/usr/bin/env bash
# The big-macro bench (qb_bench_big_macro) for 200,000 and 1,000,000 lines, each in a process of
# its own so each peak memory is its own:
#   bench/big.sh [BUILD-DIR] [--play-ms MS]
set -euo pipefail
build=build/default
if [[ $# -gt 0 && -d $1 ]]; then
  build=$1
  shift
fi
bench="$build/bench/qb_bench_big_macro"
if [[ ! -x $bench ]]; then
  echo "no $bench: build it first (cmake --build --preset default --target qb_bench_big_macro)" >&2
  exit 1
fi
echo "$(nproc) processors; load average $(cut -d' ' -f1-3 /proc/loadavg)"
for lines in 200000 1000000; do
  echo
  "$bench" --lines "$lines" "$@"
done

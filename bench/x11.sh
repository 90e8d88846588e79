#!/usr/bin/env bash
# Playback timing, processor time and recording latency of the recorder program on a private
# Xvfb with openbox (qb_bench_x11), each measurement repeated. Prints the tables of a plain
# pass, then dense playback again with the stall monitor, which tells the late lines that fell
# on a moment the machine itself did not run. The arguments go to both passes:
#   bench/x11.sh [BUILD-DIR] [--runs N] [--pause-runs N] [--long-runs N] [--record-runs N] ...
set -euo pipefail
build=build/default
if [[ $# -gt 0 && -d $1 ]]; then
  build=$1
  shift
fi
bench="$build/bench/qb_bench_x11"
if [[ ! -x $bench ]]; then
  echo "no $bench: build it first (cmake --build --preset default)" >&2
  exit 1
fi
load() { cut -d' ' -f1-3 /proc/loadavg; }
echo "$(nproc) processors; load average $(load) before"
"$bench" "$@"
echo
echo "Again with the stall monitor, which marks the lines the machine itself stalled on:"
"$bench" "$@" --only dense --stall-monitor | sed -n '/^Dense/,$p'
echo
echo "load average $(load) after"

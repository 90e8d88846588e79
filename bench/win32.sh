#!/usr/bin/env bash
# The Win32 backend's timing under Wine, in a private X session (qb_bench_win32): the keyboard
# hook's time per key event, playback gaps as the probe window's clock sees them, and a long
# pause's end error and processor time. Arguments go to the benchmark:
#   bench/win32.sh [BUILD-DIR] [--keys N] [--lines N] [--pause-ms N] [--runs N]
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/windows
if [[ $# -gt 0 && -d $1 ]]; then
  build=$1
  shift
fi
bench="$build/bench/qb_bench_win32.exe"
if [[ ! -f $bench ]]; then
  echo "no $bench: build it first (cmake --build --preset windows)" >&2
  exit 1
fi
# The probe window is started from the benchmark's own folder.
cp "$build/tests/win32/qb_win32_probe.exe" "$build/bench/"
echo "$(nproc) processors; load average $(cut -d' ' -f1-3 /proc/loadavg) before"
status=0
tools/x-session.sh tools/wine-run.sh "$PWD/$build/wine-prefix" "$bench" "$@" || status=$?
WINEPREFIX=$PWD/$build/wine-prefix /usr/lib/wine/wineserver -k 2>/dev/null || true
echo "load average $(cut -d' ' -f1-3 /proc/loadavg) after"
exit "$status"

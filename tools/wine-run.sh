#!/usr/bin/env bash
# Runs a Windows program of the Windows build under wine64: wine-run.sh PREFIX PROGRAM [ARGS...]
# The CMake toolchain names it as the emulator, so test discovery and ctest start every program
# through it. PREFIX is a Wine prefix of the build's own, made on first use; a lock keeps
# parallel tests from making it twice. A wineserver kept alive between programs makes each start
# take a fraction of a second instead of about two. Console programs need no X display.
#
# Windows console programs end their lines with CR LF; the CRs are taken off standard output, so
# the harnesses (GoogleTest's test listing, the scenario transcripts) read lines as on Linux.
# The output comes once the program has ended.
set -euo pipefail
if [ $# -lt 2 ]; then
  echo "usage: $0 PREFIX PROGRAM [ARGS...]" >&2
  exit 2
fi
prefix=$1
shift

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
[ -x "$wine" ] || wine=$(command -v wine64 || true)
if [ -z "$wine" ] || [ ! -x "$wine" ]; then
  echo "wine-run.sh: wine64 is not installed (tools/packages.sh: WINDOWS_PACKAGES)" >&2
  exit 2
fi
[ -x "$wineserver" ] || wineserver=$(command -v wineserver || echo wineserver)

# No .NET (Mono) or HTML (Gecko) engine: with a display, making the prefix would otherwise ask
# to install them, and wait for an answer.
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
# Only this build's files: no shell integration that writes menus or file associations.
export WINEARCH=win64

mkdir -p "$(dirname "$prefix")"
(
  flock 9
  if [ ! -e "$prefix/.qb-ready" ]; then
    rm -rf "$prefix"
    started=$(date +%s%N)
    # The lock's descriptor is not passed on: the wineserver that wineboot starts outlives it.
    if ! "$wine" wineboot --init >"$prefix.log" 2>&1 9>&-; then
      echo "wine-run.sh: making the Wine prefix $prefix failed; see $prefix.log" >&2
      exit 2
    fi
    echo "made in $((($(date +%s%N) - started) / 1000000)) ms" >"$prefix/.qb-ready"
  fi
  # Kept for five minutes after its last program. Wine's own background processes (the server,
  # services.exe, winedevice.exe) keep the output they were started with open for as long as
  # they live: started here, they get /dev/null, not the output of a test that ctest reads to
  # its end. "Already running" (2) is fine.
  if "$wineserver" -p300 </dev/null >/dev/null 2>&1 9>&-; then
    "$wine" wineboot </dev/null >/dev/null 2>&1 9>&- || true
  fi
) 9>"$prefix.lock"

# The program's output goes to files first: should Wine start a background process after all
# (its server having ended in between), that process holds a file open, not ctest's pipe.
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
status=0
"$wine" "$@" >"$out" 2>"$err" || status=$?
sed 's/\r$//' "$out"
sed 's/\r$//' "$err" >&2
exit "$status"

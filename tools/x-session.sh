#!/usr/bin/env bash
# Runs a command inside a private X session: Xvfb on a free display with openbox running the
# desktop tests' configuration without key or mouse bindings (tests/x11/openbox-rc.xml, so every
# key reaches the programs), then ends both. For the Windows build's tests, whose Wine programs
# need a display.
#   tools/x-session.sh COMMAND [ARGS...]
set -euo pipefail
folder=$(mktemp -d)
server=
manager=
finish() {
  [ -n "$manager" ] && kill "$manager" 2>/dev/null || true
  [ -n "$server" ] && kill "$server" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$folder"
}
trap finish EXIT

# Xvfb names the display it chose once it accepts connections.
mkfifo "$folder/display"
exec 8<>"$folder/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$folder/display" \
  >"$folder/xvfb.log" 2>&1 &
server=$!
read -r -t 20 number <&8 || { echo "x-session.sh: Xvfb did not start" >&2; exit 2; }
exec 8<&-
export DISPLAY=":$number"
openbox --config-file "$(dirname "$0")/../tests/x11/openbox-rc.xml" --sm-disable \
  >"$folder/openbox.log" 2>&1 &
manager=$!
sleep 0.5  # for openbox to take the screen before the first window comes
status=0
"$@" || status=$?
exit "$status"

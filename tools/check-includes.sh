#!/usr/bin/env bash
# Checks that every project include goes down the layers, never up and never sideways between
# the subsystems of one layer:
#   common -> platform (interfaces, platform/sim) -> forms -> script
#     -> {library, record, hotkeys, builder, standalone, shortcut} -> app -> ui -> programs
# The desktop backends (platform/posix, platform/qt, platform/x11, platform/win32) sit beside
# the interfaces: they include the layers below them and, in that order, each other (x11 and
# win32 never meet); only ui and programs include them. tests/ and bench/ may include anything.
# Prints every crossing include as "file:line: folder -> folder" and fails when there is one.
# Usage: tools/check-includes.sh [source root]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

# One pass over every include line: "file:line:#include "target"" in, crossings out.
grep -rnE '^[[:space:]]*#[[:space:]]*include "[^"]+/' \
  common platform forms script library record hotkeys builder standalone shortcut app ui programs \
  --include='*.h' --include='*.cpp' --include='*.h.in' | sort | awk '
  # The folder a path belongs to, for the layer rules.
  function unit(path) {
    if (path ~ /^platform\/(x11|qt|posix|win32)\//) return "backend"
    if (path ~ /^platform\//) return "platform"
    split(path, parts, "/")
    return parts[1]
  }
  function backend(path) { split(path, parts, "/"); return parts[2] }
  BEGIN {
    brank["posix"] = 0; brank["qt"] = 1; brank["x11"] = 2; brank["win32"] = 2
    rank["common"] = 0; rank["platform"] = 1; rank["backend"] = 1; rank["forms"] = 2
    rank["script"] = 3
    rank["library"] = 4; rank["record"] = 4; rank["hotkeys"] = 4; rank["builder"] = 4
    rank["standalone"] = 4; rank["shortcut"] = 4
    rank["app"] = 5; rank["ui"] = 6; rank["programs"] = 7
  }
  {
    split($0, head, ":")
    file = head[1]; line = head[2]
    target = $0; sub(/^[^"]*"/, "", target); sub(/".*$/, "", target)
    from = unit(file); to = unit(target)
    if (!(from in rank) || !(to in rank)) next
    bad = 0
    if (rank[to] > rank[from]) bad = 1
    # sideways between the subsystems of one layer
    else if (from != to && rank[to] == 4 && rank[from] == 4) bad = 1
    # the core never includes a backend
    else if (to == "backend" && from != "backend" && rank[from] < 6) bad = 1
    # between backends: posix below qt below x11; win32 and x11 never meet
    else if (from == "backend" && to == "backend") {
      fb = backend(file); tb = backend(target)
      if (fb != tb && (brank[tb] > brank[fb] || (fb tb) ~ /^(x11win32|win32x11)$/)) bad = 1
    }
    if (bad) { printf "%s:%s: %s -> %s (%s)\n", file, line, from, to, target; crossings++ }
  }
  END {
    if (crossings > 0) { print crossings " include(s) cross the layers"; exit 1 }
    print "every include goes down the layers"
  }'

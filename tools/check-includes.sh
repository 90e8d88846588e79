#!/usr/bin/env bash
# Checks that every project include goes down the layers, never up and never sideways between
# the subsystems of one layer:
#   common -> platform (interfaces, platform/sim) -> forms -> script
#     -> {library, record, hotkeys, builder, standalone, shortcut} -> app -> ui -> programs
# The desktop backends (platform/x11, platform/qt, platform/posix, platform/win32) sit beside
# the interfaces: they include the layers below them and each other, and only ui and programs
# include them. tests/ and bench/ may include anything.
# Prints every crossing include as "file:line: folder -> folder" and fails when there is one.
# Usage: tools/check-includes.sh [source root]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

# The folder an include path or a source path belongs to, for the layer rules.
unit_of() {
  case "$1" in
    platform/x11/* | platform/qt/* | platform/posix/* | platform/win32/*) echo backend ;;
    platform/*) echo platform ;;
    ui/*) echo ui ;;
    *) echo "${1%%/*}" ;;
  esac
}

rank_of() {
  case "$1" in
    common) echo 0 ;;
    platform) echo 1 ;;
    backend) echo 1 ;;
    forms) echo 2 ;;
    script) echo 3 ;;
    library | record | hotkeys | builder | standalone | shortcut) echo 4 ;;
    app) echo 5 ;;
    ui) echo 6 ;;
    programs) echo 7 ;;
    *) echo "" ;;
  esac
}

crossings=0
while IFS= read -r hit; do
  file=${hit%%:*}
  rest=${hit#*:}
  line=${rest%%:*}
  target=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"${rest#*:}")
  [[ $target == */* ]] || continue
  from=$(unit_of "$file")
  to=$(unit_of "$target")
  from_rank=$(rank_of "$from")
  to_rank=$(rank_of "$to")
  [[ -n $from_rank && -n $to_rank ]] || continue
  bad=0
  if ((to_rank > from_rank)); then
    bad=1
  elif [[ $from != "$to" ]] && ((to_rank == from_rank && to_rank == 4)); then
    bad=1  # sideways between the subsystems of one layer
  elif [[ $to == backend && $from != backend ]] && ((from_rank < 6)); then
    bad=1  # the core never includes a backend
  fi
  if ((bad)); then
    echo "$file:$line: $from -> $to ($target)"
    crossings=$((crossings + 1))
  fi
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include "' \
           common platform forms script library record hotkeys builder standalone shortcut \
           app ui programs --include='*.h' --include='*.cpp' --include='*.h.in' | sort)

if ((crossings > 0)); then
  echo "$crossings include(s) cross the layers"
  exit 1
fi
echo "every include goes down the layers"

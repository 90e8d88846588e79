#!/usr/bin/env bash
# The programs install side by side with the help page, the commands on the PATH are
# links to them, and an installed stand-alone program made from the installed stub plays.
set -u
build=$1
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
DESTDIR="$dest" cmake --install "$build" --prefix /usr >/dev/null || { echo "FAIL: install"; exit 1; }
fail=0
for f in lib/quillbarrow/daventi lib/quillbarrow/tapbolt lib/quillbarrow/kestrip \
         lib/quillbarrow/quillbarrow-help.html share/applications/quillbarrow.desktop; do
  [ -e "$dest/usr/$f" ] || { echo "FAIL: $f is not installed"; fail=1; }
done
# The hot key service comes with the programs wherever the desktop build made it.
if [ -e "$build/programs/quillbarrow-hotkeys" ]; then
  [ -x "$dest/usr/lib/quillbarrow/quillbarrow-hotkeys" ] || { echo "FAIL: the hot key service is not installed beside the programs"; fail=1; }
fi
[ "$(readlink "$dest/usr/bin/daventi")" = "../lib/quillbarrow/daventi" ] || { echo "FAIL: bin/daventi link"; fail=1; }
printf 'm:1,2-0\r\n' > "$dest/Macro-i.txt"
out=$("$dest/usr/bin/daventi" --dry-run "$dest/Macro-i.txt")
[ "$out" = "0 SetMousePos 1 2" ] || { echo "FAIL: installed daventi played: $out"; fail=1; }
[ $fail -eq 0 ] && echo "install layout: all checks passed"
exit $fail

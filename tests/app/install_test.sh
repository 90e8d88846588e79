#!/usr/bin/env bash
# The programs install side by side with the help page, stripped; the commands on the PATH are
# links to them; an installed stand-alone program made from the installed stub plays; and an
# ordinary user, who cannot write the installed folder, gets a macro folder of their own.
set -u
build=$1
dest=$(mktemp -d)
xvfb=
trap '[ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; rm -rf "$dest"' EXIT
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
# Every made macro program is a copy of the stub.
stub_size=$(stat -c %s "$dest/usr/lib/quillbarrow/tapbolt")
[ "$stub_size" -lt 1048576 ] || { echo "FAIL: the installed stub is $stub_size bytes"; fail=1; }
printf 'm:1,2-0\r\n' > "$dest/Macro-i.txt"
out=$("$dest/usr/bin/daventi" --dry-run "$dest/Macro-i.txt")
[ "$out" = "0 SetMousePos 1 2" ] || { echo "FAIL: installed daventi played: $out"; fail=1; }

# An ordinary user starts the installed recorder: its folder is the system's, so the macro
# folder is one of the user's own, made and stored at the first start.
if command -v Xvfb >/dev/null; then
  home="$dest/home"
  mkdir -p "$home"
  chmod 755 "$dest"
  as_user=()
  if [ "$(id -u)" = 0 ]; then
    chown 65534:65534 "$home"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  else
    chmod -R a-w "$dest/usr"
  fi
  Xvfb -displayfd 1 -nolisten tcp -screen 0 800x600x24 > "$dest/display" 2>/dev/null &
  xvfb=$!
  for _ in $(seq 100); do [ -s "$dest/display" ] && break; sleep 0.1; done
  display=":$(head -1 "$dest/display")"
  env -i PATH="$PATH" HOME="$home" DISPLAY="$display" "${as_user[@]}" \
    "$dest/usr/bin/daventi" > "$dest/user.log" 2>&1 &
  app=$!
  settings="$home/.config/quillbarrow/settings.ini"
  macros="$home/.local/share/quillbarrow/macros"
  for _ in $(seq 100); do grep -q "$macros" "$settings" 2>/dev/null && break; sleep 0.1; done
  kill "$app" 2>/dev/null
  wait "$app" 2>/dev/null
  [ -d "$macros" ] || { echo "FAIL: no macro folder $macros for the user"; cat "$dest/user.log"; fail=1; }
  grep -q "^Location=$macros\$" "$settings" 2>/dev/null ||
    { echo "FAIL: the user's macro folder is not stored: $(cat "$settings" 2>&1)"; fail=1; }
  [ -z "$(ls "$dest/usr/lib/quillbarrow" | grep -v -x -e daventi -e tapbolt -e kestrip -e quillbarrow-hotkeys -e quillbarrow-help.html)" ] ||
    { echo "FAIL: the installed folder was written"; fail=1; }
fi
[ $fail -eq 0 ] && echo "install layout: all checks passed"
exit $fail

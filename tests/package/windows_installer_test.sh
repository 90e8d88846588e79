#!/usr/bin/env bash
# The Windows packages: the ZIP's files, and the installer as a user runs it, under Wine: a silent install into a folder of its
# own, the files, the Start-menu links and the entry under installed apps; the installed
# recorder's dry run; then a silent uninstall, which removes what was installed and leaves the
# user's own files (a macro, a macro program, settings) and so their folder.
#   windows_installer_test.sh BUILD_DIR     (after `cpack` in BUILD_DIR; inside tools/x-session.sh)
set -u
build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
wine_run() { "$source_dir/tools/wine-run.sh" "$build/wine-prefix" "$@"; }
prefix=$build/wine-prefix
fail=0
check() {  # name, expected, actual
  if [ "$2" != "$3" ]; then
    printf 'FAIL %s\n--- expected\n%s\n--- got\n%s\n' "$1" "$2" "$3"
    fail=1
  fi
}
exists() {  # name, path: the file must exist
  [ -e "$2" ] || { echo "FAIL $1: $2 does not exist"; fail=1; }
}
gone() {  # name, path: the file must not exist
  [ ! -e "$2" ] || { echo "FAIL $1: $2 is still there"; fail=1; }
}
# Waits up to 60 s for a file to go: the uninstaller runs as a copy of itself in the temporary
# folder, so that it can remove itself, and returns before it has finished.
wait_gone() {
  for _ in $(seq 600); do
    [ -e "$1" ] || return 0
    sleep 0.1
  done
  return 1
}

installers=("$build"/packages/Quillbarrow-*-win64.exe)
[ -f "${installers[0]}" ] || { echo "FAIL no installer in $build/packages (run cpack first)"; exit 1; }
installer=${installers[0]}
# The ZIP: the same four files in a folder named after the package.
zips=("$build"/packages/Quillbarrow-*-win64.zip)
top=$(basename "${zips[0]}" .zip)
check zip-contents "$(printf '%s\n' "$top/Daventi.exe" "$top/Kestrip.exe" "$top/Tapbolt.exe" \
  "$top/quillbarrow-help.html")" "$(unzip -Z1 "${zips[0]}" 2>&1 | LC_ALL=C sort)"

wine_run cmd.exe /c exit || { echo "FAIL the Wine prefix $prefix cannot be made"; exit 1; }

windows_dir='C:\qb-installer-test\Quillbarrow'
dir=$prefix/drive_c/qb-installer-test/Quillbarrow
menu=$prefix/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillbarrow'
rm -rf "$prefix/drive_c/qb-installer-test"
rm -f "$menu/Quillbarrow.lnk" "$menu/Quillbarrow Shortcut Maker.lnk"

started=$(date +%s%N)
wine_run "$installer" /S "/D=$windows_dir"
check install-status 0 "$?"
echo "silent install: $((($(date +%s%N) - started) / 1000000)) ms"
installed=(Daventi.exe Tapbolt.exe Kestrip.exe quillbarrow-help.html Uninstall.exe)
for file in "${installed[@]}"; do exists "installed $file" "$dir/$file"; done
# Every macro program is a copy of the installed stub: it carries no debug information.
check stub-stripped 0 "$(x86_64-w64-mingw32-objdump -h "$dir/Tapbolt.exe" | grep -c debug)"
for link in "Quillbarrow:Daventi.exe" "Quillbarrow Shortcut Maker:Kestrip.exe"; do
  name=${link%%:*} target=${link#*:}
  exists "link $name" "$menu/$name.lnk"
  if [ -e "$menu/$name.lnk" ]; then
    case "$( (strings -a "$menu/$name.lnk"; strings -a -el "$menu/$name.lnk") | tr '\n' ' ')" in
      *"qb-installer-test\\Quillbarrow\\$target"*) ;;
      *) echo "FAIL link $name does not start $windows_dir\\$target"; fail=1 ;;
    esac
  fi
done
registry=$(wine_run reg.exe query "$uninstall_key" 2>&1)
for value in "DisplayName    REG_SZ    Quillbarrow" "InstallLocation    REG_SZ    $windows_dir" \
  "UninstallString    REG_SZ    \"$windows_dir\\Uninstall.exe\""; do
  case "$registry" in
    *"$value"*) ;;
    *) printf 'FAIL uninstall entry has no "%s":\n%s\n' "$value" "$registry"; fail=1 ;;
  esac
done

check installed-dry-run \
  "$(printf '0 SetMousePos 100 100\n500 SetMousePos 200 200\n2500 LeftDown\n2500 LeftUp')" \
  "$(wine_run "$dir/Daventi.exe" --dry-run "$source_dir/examples/Macro-example.txt")"

# What the user keeps in the program's folder: a macro, a macro program made from the stub, a
# file the recorder writes there.
printf 'm:100,100-1000\r\n' >"$dir/Macro-mine.txt"
cp "$dir/Tapbolt.exe" "$dir/Macro-mine.exe"
printf '[Options]\r\n' >"$dir/settings.ini"

started=$(date +%s%N)
wine_run "$dir/Uninstall.exe" /S
check uninstall-status 0 "$?"
wait_gone "$dir/Uninstall.exe" || echo "FAIL the uninstaller did not finish within 60 s"
echo "silent uninstall: $((($(date +%s%N) - started) / 1000000)) ms"
for file in "${installed[@]}"; do gone "uninstalled $file" "$dir/$file"; done
gone "link Quillbarrow" "$menu/Quillbarrow.lnk"
gone "link Quillbarrow Shortcut Maker" "$menu/Quillbarrow Shortcut Maker.lnk"
if wine_run reg.exe query "$uninstall_key" >/dev/null 2>&1; then
  echo "FAIL the uninstall entry is still there"
  fail=1
fi
check kept-macro "$(printf 'm:100,100-1000\r')" "$(cat "$dir/Macro-mine.txt" 2>&1)"
exists "kept macro program" "$dir/Macro-mine.exe"
exists "kept settings" "$dir/settings.ini"

rm -rf "$prefix/drive_c/qb-installer-test"
[ $fail -eq 0 ] && echo "Windows installer: all checks passed"
exit $fail

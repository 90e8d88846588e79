#!/usr/bin/env bash
# The dry-run command as a user runs it: the bundled example, executor choice by file name,
# an unreadable file, and endless plays ended at their bound.
set -u
daventi=$1
examples=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
check() {  # name, expected, actual
  if [ "$2" != "$3" ]; then
    printf 'FAIL %s\n--- expected\n%s\n--- got\n%s\n' "$1" "$2" "$3"
    fail=1
  fi
}

check example "$(printf '0 SetMousePos 100 100\n500 SetMousePos 200 200\n2500 LeftDown\n2500 LeftUp')" \
  "$("$daventi" --dry-run "$examples/Macro-example.txt")"

# The same advanced text: by name it goes to the runner, --recorded sends it to the player.
printf 'm:leftclick\r\nw:hi\r\n' > "$work/mACRO-am-demo.txt"
check advanced-by-name "$(printf '0 LeftDown\n0 LeftUp\n0 SendKeyString wait hi')" \
  "$("$daventi" "$work/mACRO-am-demo.txt" --dry-run)"
check recorded-override "" "$("$daventi" --recorded --dry-run "$work/mACRO-am-demo.txt")"

err=$("$daventi" --dry-run "$work/missing.txt" 2>&1 >/dev/null)
status=$?
check unreadable-status 1 "$status"
case "$err" in *missing.txt*) ;; *) echo "FAIL unreadable: message does not name the file: $err"; fail=1 ;; esac

printf 'loop:infinite\r\nw:x\r\nwaiting=1000\r\n' > "$work/Macro-AM-forever.txt"
out=$("$daventi" --dry-run --max-ms 10000 "$work/Macro-AM-forever.txt")
status=$?
check bound-status 3 "$status"
check bound-last-line "10000 Ended at the bound: virtual time reached its bound of 10000 ms" "$(tail -n 1 <<<"$out")"

# Endless plays keep no history of what they sent: with the heap held to 200 MB, a macro that
# types a hundred thousand keys over and over still runs to its bound instead of running out.
printf 'loop:infinite\r\nw:{a 100000}\r\n' > "$work/Macro-AM-typing.txt"
(ulimit -d 200000 && exec "$daventi" --dry-run --max-idle-turns 1500 "$work/Macro-AM-typing.txt" \
  >"$work/typing.log")
check endless-typing-status 3 "$?"
case "$(tail -n 1 "$work/typing.log")" in
  *"Ended at the bound"*) ;;
  *) echo "FAIL endless-typing: $(tail -n 1 "$work/typing.log")"; fail=1 ;;
esac

[ $fail -eq 0 ] && echo "dry-run command: all checks passed"
exit $fail

#!/usr/bin/env bash
# The settings program end to end: each option changes only its own bytes of
# the settings file, failures leave the file byte-identical, and the
# screensaver started afterwards behaves as the file says (video mode, mouse
# rule).
set -uo pipefail
CONFIG="$QUESSANTA_BIN/config"
SAVER="$QUESSANTA_BIN/Quessanta"
T=$(mktemp -d /tmp/quessanta-config-test-XXXXXX)
SAVER_PID=""
cleanup() {
  [ -n "$SAVER_PID" ] && kill -KILL "$SAVER_PID" 2>/dev/null
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  chmod -R u+w "$T" 2>/dev/null
  rm -rf "$T"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

export QUESSANTA_COMMON_APPDATA="$T/appdata/nested"
FILE="$QUESSANTA_COMMON_APPDATA/Zandrim_Quessanta_cfg"

hexof() { od -An -tx1 -v "$1" | tr -d ' \n'; }
# hex string with the bytes at offset $2 replaced by $3 (hex)
patch() { local h=$1 at=$(($2 * 2)); echo "${h:0:$at}$3${h:$((at + ${#3}))}"; }
writehex() { mkdir -p "$(dirname "$2")"; echo -n "$1" | xxd -r -p >"$2"; }

# Marker 1; mouse 05; reserved 0x11223344; index 2; flags fps 00, clock 07,
# analogue 00, 24h 09, large 03, calendar 06, russian 00. Set flags that are
# not 01 show any field rewritten that the option does not own.
BASE=0100000005443322110200000000070009030600
DEFAULTS=0100000000000000000000000000010000010100

# --- no arguments, no file: defaults, naming the file; nothing written
out=$("$CONFIG" 2>&1); rc=$?
[ $rc -eq 0 ] || fail "no arguments: exit $rc"
grep -q "$FILE" <<<"$out" || fail "no arguments: the file is not named: $out"
grep -qi "default" <<<"$out" || fail "no arguments: does not say the defaults are in force"
grep -q -- "--clock=12h" <<<"$out" || fail "no arguments: default clock not shown"
[ -e "$FILE" ] && fail "no arguments: a file was written"

# --- each option changes only its own bytes
check_option() {  # expected-hex option...
  local expected=$1; shift
  writehex "$BASE" "$FILE"
  local err; err=$("$CONFIG" "$@" 2>&1 >/dev/null); local rc=$?
  [ $rc -eq 0 ] || { fail "$*: exit $rc: $err"; return; }
  local got; got=$(hexof "$FILE")
  [ "$got" = "$expected" ] || fail "$*: wrote $got, expected $expected"
}
check_option "$(patch $BASE 13 01)" --fps=on
check_option "$(patch $BASE 13 00)" --fps=off
check_option "$(patch $BASE 4 01)" --exit-on-mouse=on
check_option "$(patch $BASE 4 00)" --exit-on-mouse=off
check_option "$(patch $BASE 14 00)" --clock=off
check_option "$(patch $BASE 14 010000)" --clock=12h
check_option "$(patch $BASE 14 010001)" --clock=24h
check_option "$(patch $BASE 14 010001)" --clock 24h
check_option "$(patch $BASE 14 0101)" --clock=analog
check_option "$(patch $BASE 17 00)" --clock-size=small
check_option "$(patch $BASE 17 01)" --clock-size=large
check_option "$(patch $BASE 18 00)" --calendar=off
check_option "$(patch $BASE 18 0100)" --calendar=english
check_option "$(patch $BASE 18 0101)" --calendar=russian
check_option "$(patch $BASE 9 00000000)" --resolution=desktop
check_option "$(patch $BASE 9 01000000)" --resolution=640x480
check_option "$(patch $BASE 9 05000000)" --resolution=1280x800
check_option "$(patch $BASE 9 09000000)" --resolution=1600x1200
check_option "$DEFAULTS" --reset
check_option "$(patch $DEFAULTS 13 01)" --reset --fps=on
check_option "$DEFAULTS" --fps=on --reset
check_option "$(patch "$(patch $BASE 13 01)" 18 0101)" --fps=on --calendar=russian
# A row outside the table is kept as the file has it.
OUTSIDE=$(patch $BASE 9 0c000000)
writehex "$OUTSIDE" "$FILE"
"$CONFIG" --fps=on >/dev/null 2>&1 || fail "--fps=on over an index of 12 failed"
[ "$(hexof "$FILE")" = "$(patch $OUTSIDE 13 01)" ] || fail "an index of 12 was not kept: $(hexof "$FILE")"

# --- shows what the file holds
writehex "$BASE" "$FILE"
out=$("$CONFIG")
for want in "$FILE" --fps=off --clock=24h --clock-size=large --calendar=english --exit-on-mouse=on --resolution=800x600; do
  grep -q -- "$want" <<<"$out" || fail "show: '$want' missing from: $out"
done
grep -qi "default" <<<"$out" && fail "show: a valid file reported as defaults"

# --- no folder yet, and an invalid file: options apply to the defaults
rm -rf "$T/appdata"
"$CONFIG" --clock=analog >/dev/null 2>&1 || fail "no folder: exit non-zero"
[ "$(hexof "$FILE")" = "$(patch $DEFAULTS 14 0101)" ] || fail "no folder: wrote $(hexof "$FILE")"
perm=$(stat -c %a "$FILE")
[ "$perm" = 644 ] || fail "settings file mode $perm, expected 644"
for bad in 0200000005443322110200000000070009030600 01000000054433221102000000000700090306; do
  writehex "$bad" "$FILE"
  "$CONFIG" | grep -qi "not valid" || fail "show: invalid file $bad not reported"
  "$CONFIG" --fps=on >/dev/null 2>&1 || fail "invalid file: exit non-zero"
  [ "$(hexof "$FILE")" = "$(patch $DEFAULTS 13 01)" ] || fail "invalid file $bad: wrote $(hexof "$FILE")"
done

# --- failures: the old file byte-identical. A bad option: one line and the
# hint to --help, exit 2; a failed save: one line, exit 1.
expect_failure() {  # description command...
  local what=$1; shift
  writehex "$BASE" "$FILE"
  local err rc lines=1 code=1
  err=$("$@" 2>&1 >/dev/null); rc=$?
  if [ "$refusal" = yes ]; then
    lines=2; code=2
    [ "$(printf '%s\n' "$err" | tail -1)" = "Try 'config --help'." ] || fail "$what: no hint to --help: '$err'"
  fi
  [ $rc -eq $code ] || fail "$what: exit $rc, expected $code: '$err'"
  [ "$(printf '%s\n' "$err" | wc -l)" -eq $lines ] && [ -n "$err" ] || fail "$what: stderr is not one line: '$err'"
  [ "$(hexof "$FILE")" = "$BASE" ] || fail "$what: the file changed to $(hexof "$FILE")"
  [ "$(ls -A "$QUESSANTA_COMMON_APPDATA")" = "Zandrim_Quessanta_cfg" ] ||
    fail "$what: left behind: $(ls -A "$QUESSANTA_COMMON_APPDATA")"
}
refusal=yes
expect_failure "unknown option" "$CONFIG" --bogus
expect_failure "bad on/off" "$CONFIG" --fps=maybe
expect_failure "bad clock" "$CONFIG" --clock=25h
expect_failure "bad calendar" "$CONFIG" --calendar=french
expect_failure "size not in the table" "$CONFIG" --resolution=641x480
expect_failure "malformed size" "$CONFIG" --resolution=640x
expect_failure "missing value" "$CONFIG" --fps
expect_failure "value for --reset" "$CONFIG" --reset=yes
expect_failure "positional argument" "$CONFIG" on
expect_failure "good then bad option" "$CONFIG" --fps=on --bogus
refusal=no
# A file-size limit makes the write itself fail, also for root.
expect_failure "write fails (file-size limit)" bash -c "trap '' XFSZ; ulimit -f 0; exec '$CONFIG' --fps=on"
# A read-only folder; root ignores the permission, so the write runs as an
# unprivileged user then.
chmod 755 "$T" "$T/appdata"
chmod 555 "$QUESSANTA_COMMON_APPDATA"
if [ "$(id -u)" -eq 0 ]; then
  chmod 644 "$FILE"
  expect_failure "read-only folder" setpriv --reuid=65534 --regid=65534 --clear-groups "$CONFIG" --fps=on
else
  expect_failure "read-only folder" "$CONFIG" --fps=on
fi
chmod 755 "$QUESSANTA_COMMON_APPDATA"

# The settings path is a folder: the rename fails and nothing is lost.
mkdir -p "$T/dir-in-the-way/Zandrim_Quessanta_cfg"
err=$(QUESSANTA_COMMON_APPDATA="$T/dir-in-the-way" "$CONFIG" --fps=on 2>&1 >/dev/null) &&
  fail "settings path is a folder: exit 0"
[ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] || fail "settings path is a folder: stderr '$err'"
[ "$(ls -A "$T/dir-in-the-way")" = "Zandrim_Quessanta_cfg" ] || fail "settings path is a folder: temporary file left"
# The settings folder cannot be created: a part of its path is a file.
touch "$T/plain-file"
err=$(QUESSANTA_COMMON_APPDATA="$T/plain-file/sub" "$CONFIG" --fps=on 2>&1 >/dev/null); rc=$?
[ $rc -eq 1 ] || fail "uncreatable folder: exit $rc"
[ "$err" = "config: cannot create the folder $T/plain-file/sub: Not a directory" ] ||
  fail "uncreatable folder: stderr '$err'"
# Without our own variable the desktop's rules decide: a home that does not
# exist is not made, only its .config; a relative XDG_CONFIG_HOME is no
# setting at all (XDG rules), whichever folder config runs in.
err=$(env -u QUESSANTA_COMMON_APPDATA -u XDG_CONFIG_HOME HOME="$T/no-home/x" "$CONFIG" --fps=on 2>&1 >/dev/null); rc=$?
[ $rc -eq 1 ] && [ ! -e "$T/no-home" ] && [ "$err" = "config: no settings folder: the home folder $T/no-home/x does not exist" ] ||
  fail "missing home: exit $rc, stderr '$err', $(ls -d "$T/no-home" 2>/dev/null)"
mkdir -p "$T/home" "$T/cwd"
(cd "$T/cwd" && env -u QUESSANTA_COMMON_APPDATA HOME="$T/home" XDG_CONFIG_HOME=rel "$CONFIG" --fps=on >/dev/null) ||
  fail "relative XDG_CONFIG_HOME: exit non-zero"
[ -f "$T/home/.config/Zandrim_Quessanta_cfg" ] && [ ! -e "$T/cwd/rel" ] && [ "$(stat -c %a "$T/home/.config")" = 700 ] ||
  fail "relative XDG_CONFIG_HOME: $(cd "$T" && find home cwd)"

# --help: usage on stdout, exit 0, nothing written
writehex "$BASE" "$FILE"
out=$("$CONFIG" --fps=on --help) || fail "--help: non-zero exit"
for opt in --fps --clock --clock-size --calendar --exit-on-mouse --resolution --reset --help; do
  grep -q -- "$opt" <<<"$out" || fail "--help does not mention $opt"
done
[ "$(hexof "$FILE")" = "$BASE" ] || fail "--help wrote the file"

# --- the screensaver started afterwards: its own X server, so that no other
# test's windows are counted
start_own_xvfb() {
  # -displayfd lets the server pick a free display number itself, which
  # tests starting servers side by side cannot race for.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$T/xvfb.display" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 1 100); do
    if [ -s "$T/xvfb.display" ]; then
      export DISPLAY=":$(tr -d '\n' <"$T/xvfb.display")"
      return 0
    fi
    kill -0 "$XVFB_PID" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
if ! start_own_xvfb; then
  fail "cannot start Xvfb for the screensaver runs"
else
  export SDL_VIDEODRIVER=x11
  windows() { xwininfo -root -tree 2>/dev/null | grep -oE '[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+' | cut -d+ -f1; }
  start_saver() {
    # Leak checking of a whole run is the main-loop tests' business; here a
    # report about Mesa's unloaded driver would hide what the settings did.
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" "$SAVER" >"$T/saver.log" 2>&1 &
    SAVER_PID=$!
    for _ in $(seq 1 100); do  # up to 10 s for the first window
      [ -n "$(windows)" ] && return 0
      kill -0 "$SAVER_PID" 2>/dev/null || break
      sleep 0.1
    done
    fail "the screensaver opened no window: $(cat "$T/saver.log")"
    return 1
  }
  stop_saver() {  # expected exit 0 after SIGTERM
    kill -TERM "$SAVER_PID" 2>/dev/null
    wait "$SAVER_PID"; local rc=$?
    SAVER_PID=""
    [ $rc -eq 0 ] || fail "screensaver ended with $rc: $(cat "$T/saver.log")"
  }
  mode_of_run() {  # the size of the drawing window SDL made
    sleep 0.5
    windows | grep -vx "$(xdpyinfo | awk '/dimensions:/ {print $2}')" | sort -u | tr '\n' ' '
  }

  for size in 640x480 800x600; do
    "$CONFIG" --reset --resolution=$size >/dev/null || fail "config --resolution=$size"
    if start_saver; then
      got=$(mode_of_run)
      [ "$got" = "$size " ] || fail "settings select $size, the screensaver opened: '$got'"
      stop_saver
    fi
  done
  "$CONFIG" --reset >/dev/null
  if start_saver; then
    got=$(mode_of_run)
    [ -z "$got" ] || fail "desktop mode: the screensaver opened a smaller window: '$got'"
    stop_saver
  fi

  # An invalid file, and a settings folder that cannot be created: the
  # desktop mode, without a word.
  writehex 0100000000000000000100000000010000 "$FILE"  # 17 bytes, row 1 inside
  if start_saver; then
    got=$(mode_of_run)
    [ -z "$got" ] || fail "short settings file: opened '$got' instead of the desktop mode"
    stop_saver
    [ -s "$T/saver.log" ] && fail "short settings file: the screensaver said: $(cat "$T/saver.log")"
  fi
  if QUESSANTA_COMMON_APPDATA="$T/plain-file/sub" start_saver; then
    got=$(mode_of_run)
    [ -z "$got" ] || fail "no settings folder: opened '$got' instead of the desktop mode"
    stop_saver
    [ -s "$T/saver.log" ] && fail "no settings folder: the screensaver said: $(cat "$T/saver.log")"
  fi

  # The mouse rule: motion from three seconds after the first frame ends the
  # run only when the settings say so.
  for flag in on off; do
    "$CONFIG" --exit-on-mouse=$flag >/dev/null || fail "config --exit-on-mouse=$flag"
    start_saver || continue
    sleep 5
    xdotool mousemove 100 100 mousemove 300 200 mousemove 500 400 >/dev/null 2>&1
    ended=no
    for _ in $(seq 1 50); do
      if ! kill -0 "$SAVER_PID" 2>/dev/null; then ended=yes; break; fi
      sleep 0.1
    done
    if [ $flag = on ]; then
      [ $ended = yes ] || { fail "exit-on-mouse=on: motion did not end the screensaver"; stop_saver; continue; }
      wait "$SAVER_PID"; rc=$?; SAVER_PID=""
      [ $rc -eq 0 ] || fail "exit-on-mouse=on: exit $rc"
    else
      if [ $ended = no ]; then
        stop_saver
      else
        fail "exit-on-mouse=off: motion ended the screensaver"
        SAVER_PID=""
      fi
    fi
  done
fi

if [ $failures -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "config end to end: all passed"

#!/usr/bin/env bash
# Stop signals at any moment, and a screen that another program holds: the
# screensaver never hangs and never leaves a process behind; a stop ends it
# within half a second whatever the frame cap.
set -u
BIN="${QUESSANTA_BIN:?}"
HELPERS="${QUESSANTA_TEST_HELPERS:?}"
TEST_NAME=signals source "${QUESSANTA_SOURCE_DIR:?}/tests/support/script_test.sh"
start_xvfb || exit 1
export QUESSANTA_COMMON_APPDATA="$T/appdata" SDL_VIDEODRIVER=x11 QUESSANTA_PATH="$BIN"

children_of() {  # the pids whose parent is $1
  local stat
  for stat in /proc/[0-9]*/stat; do
    awk -v p="$1" '{ sub(/.*\) /, ""); if ($2 == p) { split(FILENAME, f, "/"); print f[3] } }' "$stat" 2>/dev/null
  done
}

# --- Another program holds the pointer and keyboard
"$HELPERS/grab_holder" >"$T/grab.out" 2>&1 &
holder=$!
for _ in $(seq 1 100); do grep -q grabbed "$T/grab.out" && break; sleep 0.05; done
grep -q grabbed "$T/grab.out" || fail "the helper could not grab: $(cat "$T/grab.out")"

# SIGTERM while it waits for the screen: ends at once, exit 0.
"$BIN/Quessanta" 2>"$T/err" &
pid=$!
sleep 1
term_promptly "$pid" "while the grab is held"

# Left alone, it gives up after 3 seconds with one line.
start=$(now_ms)
"$BIN/Quessanta" 2>"$T/err" &
pid=$!
wait_end "$pid" 15; rc=$?
took=$(( $(now_ms) - start ))
[ $rc -ne 0 ] && [ $rc -ne 255 ] || fail "held grab: exit $rc"
[ $took -ge 2500 ] && [ $took -le 8000 ] || fail "held grab: gave up after $took ms"
[ "$(cat "$T/err")" = "Quessanta: cannot take the screen: another program holds the pointer or keyboard" ] ||
  fail "held grab: stderr '$(cat "$T/err")'"
kill -TERM "$holder"
wait "$holder" 2>/dev/null

# --- "/s" passes SIGTERM on to the screensaver it started and returns its
# status; SIGHUP ends a running screensaver in order, like SIGTERM.
"$BIN/Quessanta" /s 2>"$T/err" &
launcher=$!
sleep 4
child=$(children_of "$launcher")
[ -n "$child" ] || fail "/s: no screensaver running under the launcher"
kill -TERM "$launcher"
wait_end "$launcher" 10; rc=$?
[ $rc -eq 0 ] || fail "/s after SIGTERM: exit $rc ($(cat "$T/err"))"
[ -n "$child" ] && kill -0 "$child" 2>/dev/null && fail "/s: the screensaver $child still runs"

"$BIN/Quessanta" 2>"$T/err" &
pid=$!
sleep 3
kill -HUP "$pid"
wait_end "$pid" 10; rc=$?
[ $rc -eq 0 ] || fail "SIGHUP in the main loop: exit $rc"
[ -s "$T/err" ] && fail "stderr: $(cat "$T/err")"

# --- A stop does not wait for the next frame, at the lowest caps too, for
# each stop signal a host sends (SIGINT stays ignored in a script's
# background job).
for case in 1:TERM 2:USR1 10:HUP; do
  cap=${case%:*}
  : >"$T/id"
  "$HELPERS/host_window" 320x240 >"$T/id" &
  host=$!
  for _ in $(seq 1 100); do [ -s "$T/id" ] && break; sleep 0.05; done
  "$BIN/Quessanta" --window-id "$(cat "$T/id")" --max-fps "$cap" 2>"$T/err" &
  pid=$!
  sleep 2.5
  term_promptly "$pid" "--max-fps $cap" "${case#*:}"
  [ -s "$T/err" ] && fail "--max-fps $cap: stderr $(cat "$T/err")"
  kill "$host"
  wait "$host" 2>/dev/null
done

[ $failures -eq 0 ] && echo "stop signals: all good"
exit $failures

#!/usr/bin/env bash
# The screensaver inside a host's window, as XScreenSaver's preview pane or
# xsecurelock gives it one: the whole scene at the window's size (calendar
# near its top-right corner, clock near its bottom-right), following a
# resize; a prompt end on SIGTERM; a quiet end when the window is destroyed;
# a bad option refused before anything starts.
set -u
BIN="${QUESSANTA_BIN:?}"
HELPERS="${QUESSANTA_TEST_HELPERS:?}"
TEST_NAME=embedded source "${QUESSANTA_SOURCE_DIR:?}/tests/support/script_test.sh"
XVFB_SCREEN=1600x1200x24 start_xvfb || exit 1
export QUESSANTA_COMMON_APPDATA="$T/appdata" SDL_VIDEODRIVER=x11 QUESSANTA_SEED=5

source "${QUESSANTA_SOURCE_DIR:?}/tests/support/scene_picture.sh"

# --- A bad option never starts the screensaver.
timeout 10 "$BIN/Quessanta" --window-id=0x10 --clock=25h 2>"$T/err"; rc=$?
[ $rc -eq 2 ] && [ "$(cat "$T/err")" = "$(printf "Quessanta: bad value '25h' for --clock\nTry 'Quessanta --help'.")" ] ||
  fail "bad option: exit $rc, $(cat "$T/err")"
# --root with no display to draw on, on a video driver that needs none: one
# line, not a full-screen run elsewhere.
env -u XSCREENSAVER_WINDOW DISPLAY= SDL_VIDEODRIVER=dummy timeout 10 "$BIN/Quessanta" --root >/dev/null 2>"$T/err"; rc=$?
[ $rc -eq 1 ] && [ "$(cat "$T/err")" = "Quessanta: --root: no display to draw on" ] ||
  fail "--root without a display: exit $rc, $(head -c 300 "$T/err")"

for size in 320x240 1280x400; do
  "$HELPERS/host_window" "$size" >"$T/id" &
  host=$!
  for _ in $(seq 1 100); do [ -s "$T/id" ] && break; sleep 0.05; done
  id=$(cat "$T/id")
  [ -n "$id" ] || { fail "$size: no host window"; kill "$host"; continue; }
  "$BIN/Quessanta" --window-id "$(printf '0x%x' "$id")" 2>"$T/err" &
  saver=$!
  sleep 4
  import -window "$id" "$T/shot-$size.png" 2>/dev/null || fail "$size: no screenshot"
  check_picture "$size" "$T/shot-$size.png"
  [ -n "${QUESSANTA_KEEP_SHOTS:-}" ] && cp "$T/shot-$size.png" "$QUESSANTA_KEEP_SHOTS"/

  if [ "$size" = 1280x400 ]; then
    # The host makes its window smaller: the picture follows.
    xdotool windowsize "$id" 480 480
    sleep 1.5
    import -window "$id" "$T/resized.png" 2>/dev/null
    [ "$(identify -format %wx%h "$T/resized.png")" = 480x480 ] || fail "resize: the window did not change"
    check_picture "resized to 480x480" "$T/resized.png"
    [ -n "${QUESSANTA_KEEP_SHOTS:-}" ] && cp "$T/resized.png" "$QUESSANTA_KEEP_SHOTS"/
    # The host destroys the window: a quiet end.
    kill "$host"
    wait_end "$saver" 5; rc=$?
    [ $rc -eq 0 ] || fail "window destroyed: exit $rc"
    [ -s "$T/err" ] && fail "window destroyed: stderr $(cat "$T/err")"
  else
    term_promptly "$saver" "$size"
    [ -s "$T/err" ] && fail "$size: stderr $(cat "$T/err")"
    kill "$host"
  fi
  wait "$host" 2>/dev/null
done

[ $failures -eq 0 ] && echo "embedded: all good"
exit $failures

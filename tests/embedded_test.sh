#!/usr/bin/env bash
# The screensaver inside a host's window, as XScreenSaver's preview pane or
# xsecurelock gives it one: the whole scene at the window's size (calendar
# near its top-right corner, clock near its bottom-right), following a
# resize; the meadow to every edge from portrait to 32:9, the calendar inside
# a portrait window; a window larger than the renderer draws, bounded; a
# prompt end on SIGTERM; a quiet end when the window is destroyed, during
# start-up too; a bad option refused before anything starts.
set -u
BIN="${QUESSANTA_BIN:?}"
HELPERS="${QUESSANTA_TEST_HELPERS:?}"
TEST_NAME=embedded source "${QUESSANTA_SOURCE_DIR:?}/tests/support/script_test.sh"
XVFB_SCREEN=3840x1920x24 start_xvfb || exit 1
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

open_host() {  # size: a host window; sets host (its pid) and id
  : >"$T/id"
  "$HELPERS/host_window" "$1" >"$T/id" &
  host=$!
  for _ in $(seq 1 100); do [ -s "$T/id" ] && break; sleep 0.05; done
  id=$(cat "$T/id")
}

# The frame cap --help states for a host's window on a software renderer
# (Xvfb's is llvmpipe): the 320x240 run below keeps to it.
cap=$("$BIN/Quessanta" --help | tr -s ' \n' ' ' | sed -n "s/.*in a host's window \([0-9]*\) on a software renderer.*/\1/p")
[ -n "$cap" ] || fail "--help states no frame cap for a software renderer"

for size in 320x240 1280x400 2560x1080 3840x1080 1080x1920; do
  open_host "$size"
  [ -n "$id" ] || { fail "$size: no host window"; kill "$host"; continue; }
  stats=()
  [ "$size" = 320x240 ] && stats=(QUESSANTA_STATS_FILE="$T/stats" QUESSANTA_STATS_SECONDS=1)
  env "${stats[@]}" "$BIN/Quessanta" --window-id "$(printf '0x%x' "$id")" 2>"$T/err" &
  saver=$!
  sleep 4
  if [ "$size" = 320x240 ] && [ -n "$cap" ]; then
    # Frames a second between the last two reports: at the cap, give or take
    # a frame's timing, and not far below it on so small a window.
    rate=$(tail -n 2 "$T/stats" | sed -n 's/^t=\([0-9.]*\) frames=\([0-9]*\) .*/\1 \2/p' |
      awk 'NR == 1 { t = $1; f = $2 } NR == 2 && $1 > t { printf "%.1f", ($2 - f) / ($1 - t) }')
    echo "$size: $rate frames a second, the help's cap $cap"
    awk -v r="${rate:-0}" -v c="$cap" 'BEGIN { exit !(r > 0.5 * c && r <= 1.1 * c) }' ||
      fail "$size: ${rate:-no} frames a second against the help's cap of $cap"
  fi
  import -window "$id" "$T/shot-$size.png" 2>/dev/null || fail "$size: no screenshot"
  case $size in
    320x240 | 1280x400) check_picture "$size" "$T/shot-$size.png" ;;
  esac
  # The meadow reaches every edge: no black bars at the sides.
  black=$(black_share "$T/shot-$size.png")
  echo "$size: ${black} % black"
  awk -v b="$black" 'BEGIN { exit !(b < 1) }' || fail "$size: ${black} % of the picture is black"
  if [ "$size" = 1080x1920 ]; then
    # The calendar wholly inside, near the top-right corner, above the flowers.
    box=($(calendar_box "$T/shot-$size.png"))
    [ "${#box[@]}" -eq 4 ] && [ "${box[0]}" -gt 540 ] && [ "${box[1]}" -gt 0 ] && [ "${box[2]}" -lt 1079 ] &&
      [ "${box[3]}" -lt 400 ] || fail "$size: the calendar's paper spans ${box[*]:-nothing}"
  fi
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

# A host's window larger than any renderer draws: drawn within bounds, at
# its top-left corner, in reasonable memory; never a crash.
# In the sanitizer build AddressSanitizer holds freed blocks back (256 MB by
# default) to catch their use: not the program's memory, so none here.
open_host 32767x32767
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}quarantine_size_mb=0" QUESSANTA_STATS_FILE="$T/huge" \
  QUESSANTA_STATS_SECONDS=1 "$BIN/Quessanta" --window-id "$id" 2>"$T/err" &
saver=$!
sleep 6
if kill -0 "$saver" 2>/dev/null; then
  rss=$(tail -n 1 "$T/huge" | sed -n 's/.* rss_kb=\([0-9]*\) .*/\1/p')
  import -window root "$T/huge.png" 2>/dev/null
  black=$(black_share "$T/huge.png")
  echo "32767x32767: ${rss:-no} KiB resident, ${black} % of the screen black"
  [ "${rss:-0}" -gt 0 ] && [ "$rss" -lt 1000000 ] || fail "32767x32767: ${rss:-no} KiB resident"
  awk -v b="$black" 'BEGIN { exit !(b < 5) }' || fail "32767x32767: ${black} % of the screen is black"
  # Frames there take a while on a software renderer: no prompt end.
  kill -TERM "$saver"
  wait_end "$saver" 5; rc=$?
  [ $rc -eq 0 ] || fail "32767x32767: SIGTERM gave exit $rc"
else
  wait "$saver"
  fail "32767x32767: ended with $? ($(head -c 300 "$T/err"))"
fi
[ -s "$T/err" ] && fail "32767x32767: stderr $(cat "$T/err")"
kill "$host"
wait "$host" 2>/dev/null

# The host destroys its window while the saver starts: a quiet end each
# time, never an X error.
for delay in 0.1 0.15 0.2 0.3; do
  open_host 320x240
  "$BIN/Quessanta" --window-id "$id" 2>"$T/err" &
  saver=$!
  sleep "$delay"
  kill "$host"
  wait_end "$saver" 10; rc=$?
  [ $rc -eq 0 ] && [ ! -s "$T/err" ] || fail "window destroyed ${delay} s after launch: exit $rc, $(head -c 300 "$T/err")"
  wait "$host" 2>/dev/null
done

[ $failures -eq 0 ] && echo "embedded: all good"
exit $failures

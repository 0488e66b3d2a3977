#!/usr/bin/env bash
# Full screen through what a machine's screen goes through, each on an X
# server of its own: two copies started at the same moment (one draws, the
# other gives up with one line); the screen changing size under a running
# saver (the picture follows, overlays inside); settings naming a mode the
# screen lacks (the desktop's size, one line); a 30-bit screen (drawn) and
# an 8-bit one (one line naming its depth).
set -u
BIN="${QUESSANTA_BIN:?}"
TEST_NAME=fullscreen source "${QUESSANTA_SOURCE_DIR:?}/tests/support/script_test.sh"
source "${QUESSANTA_SOURCE_DIR:?}/tests/support/scene_picture.sh"
export QUESSANTA_COMMON_APPDATA="$T/appdata" SDL_VIDEODRIVER=x11 QUESSANTA_SEED=5 QUESSANTA_PATH="$BIN"
mkdir -p "$T/appdata"
held="Quessanta: cannot take the screen: another copy of the screensaver holds it"

# Frames drawn so far, from the last line of a statistics file.
frames_in() { tail -n 1 "$1" 2>/dev/null | sed -n 's/.* frames=\([0-9]*\) .*/\1/p'; }

# --- Two copies started together: one draws, the other says so and ends.
XVFB_SCREEN=1024x768x24 start_xvfb || exit 1
for try in 1 2 3 4 5; do
  rm -f "$T"/stats-*
  start=$(now_ms)
  QUESSANTA_STATS_FILE="$T/stats-a" QUESSANTA_STATS_SECONDS=1 "$BIN/Quessanta" 2>"$T/err-a" &
  a=$!
  QUESSANTA_STATS_FILE="$T/stats-b" QUESSANTA_STATS_SECONDS=1 "$BIN/Quessanta" 2>"$T/err-b" &
  b=$!
  # The first to end is the one that could not take the screen.
  loser=""
  while [ -z "$loser" ] && [ $(( $(now_ms) - start )) -lt 15000 ]; do
    kill -0 "$a" 2>/dev/null || loser=a
    kill -0 "$b" 2>/dev/null || loser=b
    sleep 0.05
  done
  took=$(( $(now_ms) - start ))
  if [ -z "$loser" ]; then
    fail "try $try: both copies still run after $took ms"
  else
    if [ $loser = a ]; then winner=$b; wait "$a"; else winner=$a; wait "$b"; fi
    rc=$?
    [ $rc -eq 1 ] && [ "$(cat "$T/err-$loser")" = "$held" ] || fail "try $try: exit $rc, stderr '$(cat "$T/err-$loser")'"
    [ $took -le 3000 ] || fail "try $try: the second copy gave up after $took ms"
    # The other draws, and nothing covers it.
    w=$([ $loser = a ] && echo b || echo a)
    while [ "$(frames_in "$T/stats-$w")" = "" ] && [ $(( $(now_ms) - start )) -lt 10000 ]; do sleep 0.05; done
    drawn=$(( $(now_ms) - start ))
    first=$(frames_in "$T/stats-$w")
    sleep 1.2
    [ "${first:-0}" -gt 0 ] && [ "$(frames_in "$T/stats-$w")" -gt "$first" ] ||
      fail "try $try: the copy left does not draw (frames ${first:-none})"
    import -window root "$T/two.png" 2>/dev/null
    black=$(black_share "$T/two.png")
    awk -v b="$black" 'BEGIN { exit !(b < 5) }' || fail "try $try: the screen is ${black} % black"
    echo "try $try: one copy ended after $took ms with its line, the other reported frames after $drawn ms (${black} % black)"
    term_promptly "$winner" "try $try"
    [ -s "$T/err-$w" ] && fail "try $try: the drawing copy wrote $(cat "$T/err-$w")"
  fi
done

# --- Settings made on another monitor name a mode this screen lacks.
"$BIN/config" --resolution=1280x1024 >/dev/null || fail "config could not set 1280x1024"
"$BIN/Quessanta" 2>"$T/err" &
pid=$!
sleep 4
import -window root "$T/lacks.png" 2>/dev/null
check_picture "1280x1024 on 1024x768" "$T/lacks.png"
term_promptly "$pid" "1280x1024 on 1024x768"
[ "$(cat "$T/err")" = "Quessanta: the monitor has no 1280x1024 mode; using its own, 1024x768" ] ||
  fail "1280x1024 on 1024x768: stderr '$(cat "$T/err")'"
"$BIN/config" --reset >/dev/null
stop_xvfb

# --- The screen changes size under the running saver, as when a laptop is
# docked: the picture follows, both ways, with the overlays inside.
XVFB_SCREEN=1600x1200x24 start_xvfb || exit 1
xrandr --newmode 800x600 40 800 840 968 1056 600 601 605 628 && xrandr --addmode screen 800x600 ||
  fail "the test server takes no 800x600 mode"
"$BIN/Quessanta" 2>"$T/err" &
pid=$!
sleep 4
for size in 800x600 1600x1200; do
  xrandr --output screen --mode "$size" || fail "xrandr cannot switch to $size"
  sleep 1
  import -window root "$T/screen-$size.png" 2>/dev/null
  [ "$(identify -format %wx%h "$T/screen-$size.png")" = "$size" ] || fail "$size: the screen did not change"
  check_picture "screen changed to $size" "$T/screen-$size.png"
  [ -n "${QUESSANTA_KEEP_SHOTS:-}" ] && cp "$T/screen-$size.png" "$QUESSANTA_KEEP_SHOTS"/
done
term_promptly "$pid" "after the screen's changes"
[ -s "$T/err" ] && fail "screen changes: stderr $(cat "$T/err")"
stop_xvfb

# --- Screen depths: 30 bits are drawn; 8 bits are refused with one line.
XVFB_SCREEN=640x480x30 start_xvfb || exit 1
"$BIN/Quessanta" 2>"$T/err" &
pid=$!
sleep 4
if kill -0 "$pid" 2>/dev/null; then
  import -window root "$T/depth30.png" 2>/dev/null
  check_picture "30-bit screen" "$T/depth30.png"
  term_promptly "$pid" "30-bit screen"
else
  wait "$pid"
  fail "30-bit screen: ended with $? before it drew"
fi
[ -s "$T/err" ] && fail "30-bit screen: stderr $(cat "$T/err")"
stop_xvfb
XVFB_SCREEN=640x480x8 start_xvfb || exit 1
timeout 20 "$BIN/Quessanta" 2>"$T/err"
rc=$?
[ $rc -eq 1 ] && [ "$(cat "$T/err")" = \
  "Quessanta: the screen's depth is 8 bits without true colour: OpenGL needs 15 bits or more" ] ||
  fail "8-bit screen: exit $rc, stderr '$(cat "$T/err")'"
stop_xvfb

[ $failures -eq 0 ] && echo "full-screen events: all good"
exit $failures

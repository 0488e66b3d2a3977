#!/usr/bin/env bash
# Each multisampling choice (auto, on, off) shows the scene, full screen and
# in a host's window, on whichever SDL 1.2 the machine has (the classic
# library or sdl12-compat over SDL 2): a blank or black picture has a
# handful of colours, the scene thousands.
set -u
BIN="${QUESSANTA_BIN:?}"
HELPERS="${QUESSANTA_TEST_HELPERS:?}"
TEST_NAME=multisample-modes source "${QUESSANTA_SOURCE_DIR:?}/tests/support/script_test.sh"
start_xvfb || exit 1
export QUESSANTA_COMMON_APPDATA="$T/appdata" SDL_VIDEODRIVER=x11 QUESSANTA_SEED=7

colours_of() { identify -format '%k' "$1" 2>/dev/null || echo 0; }

# shows MODE WHERE SHOT [options]: runs the saver for a few seconds and
# takes the screenshot (the root window, or the host window WHERE).
shows() {
  local mode=$1 where=$2 shot=$3 saver n
  shift 3
  QUESSANTA_MULTISAMPLE=$mode "$BIN/Quessanta" "$@" 2>"$T/err" &
  saver=$!
  sleep 4
  if ! kill -0 "$saver" 2>/dev/null; then
    fail "$mode, $where: ended early: $(head -c 300 "$T/err")"
    wait "$saver"
    return
  fi
  if [ "$where" = full ]; then import -window root "$shot"; else import -window "$where" "$shot"; fi
  term_promptly "$saver" "$mode, $where"
  [ -s "$T/err" ] && fail "$mode, $where: stderr: $(head -c 300 "$T/err")"
  n=$(colours_of "$shot")
  echo "$mode, $([ "$where" = full ] && echo "full screen" || echo "host window"): $n colours"
  [ "$n" -ge 1000 ] || fail "$mode, $where: a blank picture ($n colours)"
}

"$HELPERS/host_window" 400x300 >"$T/id" &
for _ in $(seq 1 100); do [ -s "$T/id" ] && break; sleep 0.05; done
id=$(cat "$T/id")
[ -n "$id" ] || { fail "no host window"; exit 1; }

for mode in auto on off; do
  shows "$mode" full "$T/full-$mode.png"
  shows "$mode" "$id" "$T/window-$mode.png" --window-id "$id"
done
[ -n "${QUESSANTA_KEEP_SHOTS:-}" ] && cp "$T"/*.png "$QUESSANTA_KEEP_SHOTS"/

[ $failures -eq 0 ] && echo "multisample modes: all show the scene"
exit $failures

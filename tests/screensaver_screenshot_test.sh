#!/usr/bin/env bash
# End to end with the real installation: the screensaver shows a picture
# that is not blank, that moves, and that fills the screen; Esc ends it.
set -euo pipefail
BIN="${QUESSANTA_BIN:?}"
WORK=$(mktemp -d /tmp/quessanta-test-XXXXXX)
# A display of its own: keys and screenshots must not meet other tests' windows.
source "${QUESSANTA_SOURCE_DIR:?}/scripts/xvfb.sh"
start_xvfb
trap 'stop_xvfb; rm -rf "$WORK"' EXIT
export QUESSANTA_COMMON_APPDATA="$WORK/appdata"
export SDL_VIDEODRIVER=x11
# Default settings: the calendar and the large digital clock over the scene.
QUESSANTA_SEED=3 "$BIN/Quessanta" 2>"$WORK/stderr" &
PID=$!
sleep 5
kill -0 "$PID" || { echo "the screensaver ended early: $(cat "$WORK/stderr")"; exit 1; }
import -window root "$WORK/a.png"
sleep 0.7
import -window root "$WORK/b.png"
xdotool key Escape
for _ in $(seq 1 100); do kill -0 "$PID" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$PID" 2>/dev/null; then echo "Esc did not end it"; kill -9 "$PID"; exit 1; fi
wait "$PID"

# Not blank: real variation over the whole picture.
sd=$(convert "$WORK/a.png" -colorspace Gray -format '%[fx:standard_deviation]' info:)
awk -v s="$sd" 'BEGIN { exit !(s > 0.05) }' || { echo "picture is nearly uniform (sd $sd)"; exit 1; }
# The background reaches every corner (no black borders).
for geom in 16x16+0+0 16x16+1008+0 16x16+0+752 16x16+1008+752; do
  mean=$(convert "$WORK/a.png" -crop "$geom" -colorspace Gray -format '%[fx:mean]' info:)
  awk -v m="$mean" 'BEGIN { exit !(m > 0.05) }' || { echo "corner $geom is black"; exit 1; }
done
# It moves: the flowers turn and the butterflies fly.
diff=$(compare -metric AE -fuzz 2% "$WORK/a.png" "$WORK/b.png" null: 2>&1 || true)
awk -v d="$diff" 'BEGIN { exit !(d > 500) }' || { echo "the two frames hardly differ ($diff pixels)"; exit 1; }
[ ! -s "$WORK/stderr" ] || { echo "stderr: $(cat "$WORK/stderr")"; exit 1; }
if [ -n "${QUESSANTA_KEEP_SHOTS:-}" ]; then cp "$WORK/a.png" "$WORK/b.png" "$QUESSANTA_KEEP_SHOTS"/; fi
echo "ok: sd $sd, $diff pixels changed"

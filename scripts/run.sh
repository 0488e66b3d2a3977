#!/usr/bin/env bash
# Installs what is missing, builds, and runs the screensaver. Without an X
# display it runs it for a few seconds on a virtual one and saves a
# screenshot.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
started=$SECONDS
bash scripts/deps.sh run
echo "run.sh: installs took $((SECONDS - started)) s"
started=$SECONDS
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUESSANTA_TESTS=OFF -DQUESSANTA_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)"
echo "run.sh: build took $((SECONDS - started)) s"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec build/quessanta/Quessanta "$@"
fi

source scripts/xvfb.sh
start_xvfb
trap stop_xvfb EXIT
SHOT="$ROOT/build/screenshot.png"
SDL_VIDEODRIVER=x11 build/quessanta/Quessanta "$@" &
PID=$!
sleep "${QUESSANTA_SHOT_DELAY:-6}"
import -window root "$SHOT"
kill -TERM "$PID" 2>/dev/null || true
wait "$PID" || true
echo "No display: ran the screensaver on a virtual one; screenshot saved to $SHOT"

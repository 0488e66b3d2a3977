#!/usr/bin/env bash
# Remakes docs/screenshot.png, the picture at the top of the README: the
# project's own viewer draws the whole scene with the analogue clock and the
# English calendar, its random choices and its moment fixed (--seed, --time,
# --date, --at), full screen on a virtual X screen of 800x500. Builds the
# viewer and the artwork in build/ first when needed (BUILD moves it).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
BUILD="${BUILD:-build}"
[ -f "$BUILD/CMakeCache.txt" ] || cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target quessanta_viewer artwork >/dev/null
source scripts/xvfb.sh
XVFB_SCREEN=800x500x24 start_xvfb
trap stop_xvfb EXIT
SDL_VIDEODRIVER=x11 "$BUILD/quessanta/viewer" --scene --seed 4 --time 3000 --clock analogue --calendar en \
  --date 2026-05-14 --at 10:08:37 --out docs/screenshot.png
echo "screenshot.sh: wrote docs/screenshot.png ($(stat -c %s docs/screenshot.png) bytes)"

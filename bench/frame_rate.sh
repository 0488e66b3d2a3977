#!/usr/bin/env bash
# Frame rate of the full scene at 1024x768 on Mesa's llvmpipe under Xvfb,
# against the bare loop. Usage: bench/frame_rate.sh [build dir] [seconds]
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${1:-$ROOT/build}"
SECONDS_PER_PHASE="${2:-10}"
source "$ROOT/scripts/xvfb.sh"
start_xvfb
trap stop_xvfb EXIT
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "renderer: $(DISPLAY=$DISPLAY glxinfo -B 2>/dev/null | grep -m1 'renderer string' | cut -d: -f2 | sed 's/^ //')"
QUESSANTA_PATH="$BUILD/quessanta/" QUESSANTA_SEED=1 SDL_VIDEODRIVER=x11 \
  "$BUILD/bench/frame_rate" "$SECONDS_PER_PHASE"

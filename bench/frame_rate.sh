#!/usr/bin/env bash
# Frame rate, CPU time per frame, peak memory and start-up of the full scene
# on Mesa's llvmpipe under Xvfb, in interleaved rounds (every configuration
# once per round, so a busy moment of the machine touches all of them):
#   scene        the program as it runs (multisampling chosen by renderer)
#   scene-msaa   the same with 4x multisampling forced on
#   bare         the same meshes drawn without the scene graph
#   clear        an empty clear and swap
# at 1024x768 and 1920x1080; with a baseline build given, also that build's
# start-up to the first frame, for comparison.
# Usage: bench/frame_rate.sh [build dir] [seconds per run] [rounds] [baseline build dir]
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$(cd "${1:-$ROOT/build}" && pwd)"
SECONDS_PER_RUN="${2:-8}"
ROUNDS="${3:-5}"
BASELINE="${4:-}"
source "$ROOT/scripts/xvfb.sh"
XVFB_SCREEN=1920x1080x24 start_xvfb
OUT=$(mktemp /tmp/quessanta-frame-rate-XXXXXX)
trap 'stop_xvfb; rm -f "$OUT"' EXIT
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "rounds: $ROUNDS, $SECONDS_PER_RUN s per run"
export SDL_VIDEODRIVER=x11 QUESSANTA_SEED=1 QUESSANTA_COMMON_APPDATA="$(mktemp -d)"

run() {  # label multisample mode size
  local text
  text=$(QUESSANTA_MULTISAMPLE=$2 QUESSANTA_PATH="$BUILD/quessanta/" \
    "$BUILD/bench/frame_rate" "$3" "$4" "$SECONDS_PER_RUN" 2>/dev/null) && grep -q '^mode=' <<<"$text" ||
    { echo "frame_rate $3 $4 failed" >&2; exit 1; }
  [ -n "${RENDERER:-}" ] || { RENDERER=$(sed -n 's/^renderer: //p' <<<"$text"); echo "renderer: $RENDERER"; }
  echo "label=$1 $(grep '^mode=' <<<"$text")" >>"$OUT"
}
for round in $(seq 1 "$ROUNDS"); do
  for size in 1024x768 1920x1080; do
    run scene auto scene "$size"
    run scene-msaa on scene "$size"
    run bare auto bare "$size"
    run clear auto clear "$size"
  done
  if [ -n "$BASELINE" ]; then
    # The baseline's own harness: its start-up line is the same measure
    # (start of main to the first frame finished).
    ms=$(QUESSANTA_PATH="$BASELINE/quessanta/" "$BASELINE/bench/frame_rate" 0.3 2>/dev/null |
      sed -n 's/^start to first frame: \([0-9]*\) ms/\1/p')
    echo "label=baseline mode=scene size=1024x768 startup_ms=$ms" >>"$OUT"
  fi
  echo "round $round of $ROUNDS done" >&2
done

python3 - "$OUT" <<'EOF'
import statistics, sys
rows = [dict(kv.split("=", 1) for kv in line.split()) for line in open(sys.argv[1])]
def values(label, size, key):
    return [float(r[key]) for r in rows if r["label"] == label and r["size"] == size and key in r]
def fmt(v, digits=1):
    return f"{min(v):.{digits}f} / {statistics.median(v):.{digits}f}" if v else "-"
print(f"{'run':<11} {'size':<10} {'frames/s':>16} {'CPU ms/frame':>16} {'peak RSS MiB':>16} "
      f"{'display ms':>12} {'build ms':>10} {'1st frame ms':>13}   (min / median)")
for size in ("1024x768", "1920x1080"):
    for label in ("scene", "scene-msaa", "bare", "clear"):
        print(f"{label:<11} {size:<10} {fmt(values(label, size, 'fps')):>16} {fmt(values(label, size, 'cpu_ms')):>16} "
              f"{fmt(values(label, size, 'peak_rss_mib')):>16} {fmt(values(label, size, 'display_ms'), 0):>12} "
              f"{fmt(values(label, size, 'build_ms'), 0):>10} {fmt(values(label, size, 'first_frame_ms'), 0):>13}")
med = lambda label, size, key: statistics.median(values(label, size, key))
for size in ("1024x768", "1920x1080"):
    print(f"{size}: scene / scene-msaa frames/s {med('scene', size, 'fps') / med('scene-msaa', size, 'fps'):.2f}x "
          f"(bar at 1024x768: 2.5x); scene / bare {med('scene', size, 'fps') / med('bare', size, 'fps'):.3f} "
          f"(bar: 0.95)")
print(f"peak RSS, scene at 1024x768: {max(values('scene', '1024x768', 'peak_rss_mib')):.1f} MiB at most (bar: 110)")
startup = values("scene", "1024x768", "startup_ms")
base = values("baseline", "1024x768", "startup_ms")
if base:
    print(f"start-up to the first frame at 1024x768: {fmt(startup, 0)} ms; baseline build {fmt(base, 0)} ms")
else:
    print(f"start-up to the first frame at 1024x768: {fmt(startup, 0)} ms")
EOF

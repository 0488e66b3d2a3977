#!/usr/bin/env bash
# Frame rate, CPU time per frame, peak memory and start-up of the full scene
# on Mesa's llvmpipe under Xvfb, in interleaved rounds (every configuration
# once per round, so a busy moment of the machine touches all of them):
#   scene        the program as it runs (multisampling chosen by renderer)
#   scene-msaa   the same with 4x multisampling forced on
#   bare         the same meshes drawn without the scene graph
#   clear        an empty clear and swap
#   baseline     with a baseline build given, that build's scene
# The scene's own memory is its peak resident memory less the clear
# program's in the same round; it is also split by stage (the context, the
# tree built, the first frame, the frames after it) and by what the running
# scene holds (pack entries, meshes among them, textures).
# at 1024x768 and 1920x1080; then, in the same rounds, the program in a
# 320x240 host window at its default frame cap (the share of a core it
# keeps busy, and its frames a second), this build's and the baseline's.
# After the rounds, the triangles a frame draws (apitrace: the glDrawArrays
# triangles between two swaps), of each build, and at 1024x768 the
# fragments each draw has shaded and how many of them survived (frame_rate
# fragments: the renderer's own counters around every draw; for the
# baseline, its packs drawn by this build's harness).
# Usage: bench/frame_rate.sh [build dir] [seconds per run] [rounds] [baseline build dir]
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$(cd "${1:-$ROOT/build}" && pwd)"
SECONDS_PER_RUN="${2:-8}"
ROUNDS="${3:-5}"
BASELINE="${4:-}"
[ -z "$BASELINE" ] || BASELINE="$(cd "$BASELINE" && pwd)"
source "$ROOT/scripts/xvfb.sh"
# Each size full screen on a screen of its own size, as the program runs on
# a desktop of that size: a smaller mode on a bigger screen would also
# measure how SDL fills the rest (sdl12-compat scales it up).
declare -A SCREEN
XVFB_SCREEN=1024x768x24 start_xvfb
SCREEN[1024x768]=$DISPLAY
SMALL_XVFB_PID=$XVFB_PID
XVFB_SCREEN=1920x1080x24 start_xvfb
SCREEN[1920x1080]=$DISPLAY
WORK=$(mktemp -d /tmp/quessanta-frame-rate-XXXXXX)
OUT="$WORK/rows"
trap 'stop_xvfb; kill "$SMALL_XVFB_PID" 2>/dev/null; rm -rf "$WORK"' EXIT
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "rounds: $ROUNDS, $SECONDS_PER_RUN s per run"
export SDL_VIDEODRIVER=x11 QUESSANTA_SEED=1 QUESSANTA_COMMON_APPDATA="$WORK/appdata"
mkdir "$WORK/appdata"

run() {  # label build multisample mode size
  local text
  text=$(DISPLAY=${SCREEN[$5]} QUESSANTA_MULTISAMPLE=$3 QUESSANTA_PATH="$2/quessanta/" \
    "$2/bench/frame_rate" "$4" "$5" "$SECONDS_PER_RUN" 2>/dev/null) && grep -q '^mode=' <<<"$text" ||
    { echo "frame_rate $4 $5 of $2 failed" >&2; exit 1; }
  [ -n "${RENDERER:-}" ] || { RENDERER=$(sed -n 's/^renderer: //p' <<<"$text"); echo "renderer: $RENDERER"; }
  echo "label=$1 round=${round:-0} $(grep '^mode=' <<<"$text")" >>"$OUT"
  # What the scene's memory went to, stage by stage (see frame_rate.cpp).
  sed -n "s/^memory /label=$1 round=${round:-0} mode=memory size=$5 /p" <<<"$text" >>"$OUT"
}

# The program in a 320x240 host window at its default cap: after a warm-up,
# the CPU time of all its threads over SECONDS_PER_RUN, and its frames (from
# its run statistics).
host_run() {  # label build
  local host_window host id pid stats t0 t1 cpu0 cpu1 frames0 frames1 tick
  host_window="$BUILD/tests/host_window"
  [ -x "$host_window" ] || { echo "no $host_window (build with QUESSANTA_TESTS=ON)" >&2; exit 1; }
  "$host_window" 320x240 >"$WORK/id" &
  host=$!
  for _ in $(seq 1 100); do [ -s "$WORK/id" ] && break; sleep 0.05; done
  id=$(cat "$WORK/id")
  stats="$WORK/stats-$1"
  : >"$stats"
  QUESSANTA_STATS_FILE="$stats" QUESSANTA_STATS_SECONDS=1 "$2/quessanta/Quessanta" --window-id "$id" 2>/dev/null &
  pid=$!
  sleep 3
  tick=$(getconf CLK_TCK)
  cpu() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
  frames() { tail -1 "$stats" | sed -E 's/.* frames=([0-9]+).*/\1/'; }
  t0=$(date +%s.%N); cpu0=$(cpu); frames0=$(frames)
  sleep "$SECONDS_PER_RUN"
  t1=$(date +%s.%N); cpu1=$(cpu); frames1=$(frames)
  kill "$pid" "$host"
  wait "$pid" "$host" 2>/dev/null || true
  # The statistics count frames once a second: their rate over the whole
  # seconds between the two lines read.
  echo "label=$1 mode=host size=320x240 core_percent=$(python3 -c "print(f'{100 * ($cpu1 - $cpu0) / $tick / ($t1 - $t0):.1f}')") fps_stats=$((frames1 - frames0))/$SECONDS_PER_RUN" >>"$OUT"
}

for round in $(seq 1 "$ROUNDS"); do
  for size in 1024x768 1920x1080; do
    run scene "$BUILD" auto scene "$size"
    [ -z "$BASELINE" ] || run baseline "$BASELINE" auto scene "$size"
    run scene-msaa "$BUILD" on scene "$size"
    run bare "$BUILD" auto bare "$size"
    run clear "$BUILD" auto clear "$size"
  done
  host_run host "$BUILD"
  [ -z "$BASELINE" ] || host_run host-baseline "$BASELINE"
  echo "round $round of $ROUNDS done" >&2
done

# Triangles a frame: a short traced run of each build's scene.
triangles() {  # build
  local trace="$WORK/trace"
  rm -f "$trace"
  QUESSANTA_PATH="$1/quessanta/" apitrace trace -o "$trace" "$1/bench/frame_rate" scene 1024x768 0.5 >/dev/null 2>&1 ||
    { echo "-"; return; }
  apitrace dump --call-nos=no "$trace" 2>/dev/null | python3 -c '
import re, statistics, sys
frames, now = [], 0
for line in sys.stdin:
    m = re.match(r"glDrawArrays\(mode = GL_TRIANGLES, first = \d+, count = (\d+)\)", line)
    if m:
        now += int(m.group(1)) // 3
    elif "SwapBuffers(" in line:
        frames.append(now)
        now = 0
frames = [f for f in frames if f > 0]  # not the cleared frames of the teardown
print(f"{max(frames)} {statistics.median(frames):.0f}" if frames else "-")'
}
if command -v apitrace >/dev/null; then
  echo "label=scene mode=triangles size=1024x768 per_frame=$(triangles "$BUILD" | tr ' ' /)" >>"$OUT"
  [ -z "$BASELINE" ] || echo "label=baseline mode=triangles size=1024x768 per_frame=$(triangles "$BASELINE" | tr ' ' /)" >>"$OUT"
else
  echo "apitrace is not installed: no triangle count"
fi

# Fragments a frame: the per-draw table of this build, the totals of both.
fragments() {  # label data-build
  local text
  text=$(DISPLAY=${SCREEN[1024x768]} QUESSANTA_PATH="$2/quessanta/" "$BUILD/bench/frame_rate" fragments 1024x768 30 \
    2>/dev/null) || { echo "frame_rate fragments of $2 failed" >&2; return 0; }
  [ "$1" != scene ] || { echo; sed -n '/^draw /,/^(flags/p' <<<"$text"; echo; }
  echo "label=$1 $(grep '^mode=' <<<"$text")" >>"$OUT"
}
fragments scene "$BUILD"
[ -z "$BASELINE" ] || fragments baseline "$BASELINE"

python3 - "$OUT" <<'EOF'
import statistics, sys
rows = [dict(kv.split("=", 1) for kv in line.split()) for line in open(sys.argv[1])]
def values(label, size, key, mode=None):
    return [float(r[key]) for r in rows
            if r["label"] == label and r["size"] == size and key in r and (mode is None or r["mode"] == mode)]
def fmt(v, digits=1):
    return f"{min(v):.{digits}f} / {statistics.median(v):.{digits}f}" if v else "-"
med = lambda label, size, key: statistics.median(values(label, size, key))
labels = ("scene", "baseline", "scene-msaa", "bare", "clear")
print(f"{'run':<11} {'size':<10} {'frames/s':>16} {'CPU ms/frame':>16} {'peak RSS MiB':>16} "
      f"{'display ms':>12} {'build ms':>10} {'1st frame ms':>13}   (min / median)")
for size in ("1024x768", "1920x1080"):
    for label in labels:
        if not values(label, size, "fps"):
            continue
        print(f"{label:<11} {size:<10} {fmt(values(label, size, 'fps')):>16} {fmt(values(label, size, 'cpu_ms')):>16} "
              f"{fmt(values(label, size, 'peak_rss_mib')):>16} {fmt(values(label, size, 'display_ms'), 0):>12} "
              f"{fmt(values(label, size, 'build_ms'), 0):>10} {fmt(values(label, size, 'first_frame_ms'), 0):>13}")
for size in ("1024x768", "1920x1080"):
    print(f"{size}: scene / scene-msaa frames/s {med('scene', size, 'fps') / med('scene-msaa', size, 'fps'):.2f}x "
          f"(bar at 1024x768: 2.5x); scene / bare {med('scene', size, 'fps') / med('bare', size, 'fps'):.3f} "
          f"(bar: 0.95)")
    if values("baseline", size, "cpu_ms"):
        cur, base = values("scene", size, "cpu_ms"), values("baseline", size, "cpu_ms")
        print(f"{size}: CPU per frame against the baseline: {min(cur) / min(base):.2f} of it by the minima, "
              f"{statistics.median(cur) / statistics.median(base):.2f} by the medians (bar: at most 0.75)")
# The scene's own memory: its peak resident memory less that of the empty
# clear-and-swap program, the floor the driver holds, in the same round.
for label in ("scene", "baseline"):
    own = []
    for r in rows:
        if r["label"] == label and r["mode"] == "scene" and r["size"] == "1024x768":
            floor = [float(c["peak_rss_mib"]) for c in rows if c["label"] == "clear" and c["size"] == "1024x768"
                     and c["round"] == r["round"]]
            own += [float(r["peak_rss_mib"]) - f for f in floor]
    if own:
        print(f"{label}: own memory at 1024x768 (peak RSS less the clear program's): {fmt(own)} MiB"
              + (" (bar: at most 40)" if label == "scene" else ""))
# Where it went: resident memory after each stage above the clear
# program's peak of the same round, and what the running scene holds.
stages, held = {}, {}
for r in rows:
    if r["label"] != "scene" or r["mode"] != "memory" or r["size"] != "1024x768":
        continue
    floor = [float(c["peak_rss_mib"]) for c in rows if c["label"] == "clear" and c["size"] == "1024x768"
             and c["round"] == r["round"]]
    if "stage" in r and floor:
        stages.setdefault(r["stage"], []).append(float(r["rss_mib"]) - floor[0])
        if r["stage"] == "frames":
            stages.setdefault("peak", []).append(float(r["peak_mib"]) - floor[0])
    for key in ("pack_entries_mib", "meshes_mib", "textures_mib"):
        if key in r:
            held.setdefault(key, []).append(float(r[key]))
if stages:
    print("scene memory at 1024x768 after each stage, above the clear program's peak (median MiB): "
          + ", ".join(f"{k} {statistics.median(v):+.1f}" for k, v in stages.items()))
if held:
    print("held by the running scene (median MiB): pack entries "
          f"{statistics.median(held['pack_entries_mib']):.1f} (meshes {statistics.median(held['meshes_mib']):.1f}), "
          f"textures {statistics.median(held['textures_mib']):.1f}; the rest of the first frame's growth is the "
          "renderer's (shader code, vertex and bin buffers)")
for label in ("host", "host-baseline"):
    cores = values(label, "320x240", "core_percent")
    if cores:
        fps = [int(r["fps_stats"].split("/")[0]) / float(r["fps_stats"].split("/")[1])
               for r in rows if r["label"] == label and r["mode"] == "host"]
        print(f"{label}: 320x240 host window at the default cap: {fmt(cores)} % of a core, "
              f"{fmt(fps)} frames/s" + (" (bar: at most 25 %)" if label == "host" else ""))
for label in ("scene", "baseline"):
    for r in rows:
        if r["label"] == label and r["mode"] == "triangles":
            print(f"triangles a frame, {label}: {r['per_frame']} (max / median)")
        if r["label"] == label and r["mode"] == "fragments":
            print(f"fragments a frame at 1024x768, {label}: {int(r['shaded']):,} shaded, {int(r['passed']):,} passed"
                  + (" (bar: at most 1,200,000 shaded)" if label == "scene" else ""))
startup = values("scene", "1024x768", "startup_ms")
base = values("baseline", "1024x768", "startup_ms")
print(f"start-up to the first frame at 1024x768: {fmt(startup, 0)} ms" + (f"; baseline build {fmt(base, 0)} ms" if base else ""))
EOF

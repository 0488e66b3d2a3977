#!/usr/bin/env bash
# Long-run soak of the screensaver with every overlay on (12-hour digital
# clock with its blinking separator, English calendar, frame-rate counter),
# its wall clock sped up by faketime so that days pass in minutes. It
# samples the program's own run statistics (QUESSANTA_STATS_FILE) and
# checks that live scene nodes, OpenGL textures, open packs and resident
# memory stay flat, and that the clock, the calendar page and the counter
# are right at the end. Prints the figures; exits non-zero on a failure.
#
# Usage: bench/soak.sh [--seconds N] [--speed X] [--start 'YYYY-MM-DD hh:mm:ss']
#                      [--interval S] [--min-days D] [--keep DIR]
# Defaults: 240 real seconds at x1500 from 2024-01-30 23:58:00 (over four
# simulated days: three midnights, the end of January), a sample every 10 s.
# QUESSANTA_BIN names the installation directory (default build/quessanta).
# The run has an X server (Xvfb) of its own.
#
# faketime speeds up every wall-clock reading of the process, SDL's tick
# count included (SDL 1.2 counts ticks with gettimeofday): each frame then
# advances the animations by speed x its real duration, and the counter,
# which averages frames over 5000 ticks, shows the sped-up rate (0 at high
# speeds). The statistics interval runs on the real monotonic clock.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BIN="${QUESSANTA_BIN:-$ROOT/build/quessanta}"
SECONDS_RUN=240
SPEED=1500
START="2024-01-30 23:58:00"
INTERVAL=10
MIN_DAYS=3
KEEP=""
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) SECONDS_RUN=$2; shift 2 ;;
    --speed) SPEED=$2; shift 2 ;;
    --start) START=$2; shift 2 ;;
    --interval) INTERVAL=$2; shift 2 ;;
    --min-days) MIN_DAYS=$2; shift 2 ;;
    --keep) KEEP=$2; shift 2 ;;
    *) echo "soak: unknown argument $1" >&2; exit 2 ;;
  esac
done

EXE="$BIN/Quessanta"
CONFIG="$BIN/config"
[ -x "$EXE" ] || { echo "soak: no screensaver at $EXE (build first)" >&2; exit 2; }
FAKETIME_LIB=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -1 || true)
[ -n "$FAKETIME_LIB" ] || { echo "soak: libfaketime is not installed (Debian package faketime)" >&2; exit 2; }

# AddressSanitizer holds freed memory back (its quarantine) until a quota is
# full, so a sanitizer build's resident memory rises however flat the
# program's use is: its memory figure is shown but not judged.
RSS_JUDGED=1
if grep -q libasan <<<"$(ldd "$EXE" 2>/dev/null)"; then RSS_JUDGED=0; fi

WORK=$(mktemp -d /tmp/quessanta-soak-XXXXXX)
XVFB_PID=""
APP_PID=""
cleanup() {
  if [ -n "$APP_PID" ] && kill -0 "$APP_PID" 2>/dev/null; then kill -KILL "$APP_PID" 2>/dev/null || true; fi
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
  if [ -n "$KEEP" ]; then mkdir -p "$KEEP" && cp "$WORK"/* "$KEEP"/ 2>/dev/null || true; fi
  rm -rf "$WORK"
}
trap cleanup EXIT

# An X server of its own: keys and pointer motion that other programs send
# to a shared display must not reach (and end) the screensaver.
source "$ROOT/scripts/xvfb.sh"
start_xvfb

# Every overlay on, in a settings folder of our own.
export QUESSANTA_COMMON_APPDATA="$WORK/appdata"
mkdir -p "$QUESSANTA_COMMON_APPDATA"
if [ -x "$CONFIG" ]; then
  "$CONFIG" --fps=on --clock=12h --clock-size=large --calendar=english --exit-on-mouse=off \
    --resolution=640x480 >/dev/null
else
  # marker 1, mouse off, reserved 0, 640x480 row, fps, clock, digital, 12 h, large, calendar, English
  printf '\001\000\000\000\000\000\000\000\000\001\000\000\000\001\001\000\000\001\001\000' \
    >"$QUESSANTA_COMMON_APPDATA/Zandrim_Quessanta_cfg"
fi

# Until the artwork generator paints an overlay pack, it has no entries:
# the run then uses a stand-in for it, with small textured squares (one
# texture each, so the digits' textures come and go as with the artwork).
INSTALL="$BIN/"
STAND_IN=()
for pack in clock:podlozka_am calendar:sel utils:fps; do
  entries=$("$BIN/pak" list "$BIN/${pack%%:*}.pak" 2>/dev/null || true)
  grep -qw -- "${pack#*:}" <<<"$entries" || STAND_IN+=("${pack%%:*}")
done
if [ ${#STAND_IN[@]} -gt 0 ]; then
  echo "soak: not painted yet, using stand-ins: ${STAND_IN[*]}"
  INSTALL="$WORK/install/"
  mkdir -p "$INSTALL" "$WORK/parts"
  for f in "$BIN"/*.pak; do ln -s "$f" "$INSTALL$(basename "$f")"; done
  python3 - "$WORK/parts" <<'PY'
import struct, sys
out = sys.argv[1]
digits = [str(i) for i in range(10)]
packs = {
    "clock": digits + ["ciferblat", "sec", "min", "chas", "podlozka", "podlozka_am", "dot", "am", "pm"],
    "calendar": ["fon", "fon_rus", "day", "day_rus", "null", "sel"] + [f"m{i}" for i in range(1, 13)]
                + [str(i) for i in range(1, 32)],
    "utils": digits + ["fps"],
}
def model(texture):
    name = texture.encode() + b"\0"
    block = bytes([0, 0, 0, 0]) + struct.pack("<4f4f4ff", 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 1, 0) + bytes(4)
    square = [(-1, -1), (1, -1), (1, 1), (-1, -1), (1, 1), (-1, 1)]
    data = struct.pack("<Bi", 0, 1) + struct.pack("<i", len(name)) + name + bytes(80) + block
    data += struct.pack("<i", 2) + b"\0"
    data += b"".join(struct.pack("<3d", x, y, 0) for x, y in square)
    data += b"".join(struct.pack("<3d", 0, 0, 1) for _ in square)
    data += b"".join(struct.pack("<2d", (x + 1) / 2, (y + 1) / 2) for x, y in square)
    return data
def bmp(seed):
    pixels = bytes((seed * 37 + i * 11) % 256 for i in range(8 * 8 * 3))
    return b"BM" + struct.pack("<IHHI", 54 + len(pixels), 0, 0, 54) + struct.pack(
        "<IiiHHIIiiII", 40, 8, 8, 1, 24, 0, len(pixels), 2835, 2835, 0, 0) + pixels
for pack, entries in packs.items():
    with open(f"{out}/{pack}.list", "w") as listing:
        for i, entry in enumerate(entries):
            for suffix, data in (("", model(entry + "_t")), ("_t", bmp(i))):
                path = f"{out}/{pack}-{entry}{suffix}"
                with open(path, "wb") as f:
                    f.write(data)
                listing.write(f"{entry}{suffix}\t{path}\n")
PY
  for pack in "${STAND_IN[@]}"; do
    args=()
    while IFS=$'\t' read -r name path; do args+=(--name "$name" "$path"); done <"$WORK/parts/$pack.list"
    rm -f "$INSTALL$pack.pak"
    "$BIN/pak" create "$INSTALL$pack.pak" "${args[@]}" >/dev/null
  done
fi

# A sanitizer build must keep its runtime first in the preload list.
PRELOAD="$FAKETIME_LIB"
ASAN_LIB=$(ldd "$EXE" 2>/dev/null | awk '/libasan/ && !found {print $3; found = 1}' || true)
if [ -n "$ASAN_LIB" ]; then
  PRELOAD="$ASAN_LIB:$FAKETIME_LIB"
  # The sanitizer's allocator reads the monotonic clock when it first maps
  # memory, which can be inside libfaketime's own start-up (newer C
  # libraries): both then wait on each other for ever. Never handing memory
  # back to the system is what stops the allocator from reading the clock.
  export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}allocator_release_to_os_interval_ms=-1"
fi

STATS="$WORK/stats.txt"
echo "soak: $SECONDS_RUN s at x$SPEED from $START, sample every $INTERVAL s"
env LD_PRELOAD="$PRELOAD" FAKETIME="@$START x$SPEED" FAKETIME_DONT_FAKE_MONOTONIC=1 \
  QUESSANTA_PATH="$INSTALL" QUESSANTA_STATS_FILE="$STATS" QUESSANTA_STATS_SECONDS="$INTERVAL" \
  SDL_VIDEODRIVER=x11 "$EXE" 2>"$WORK/stderr.txt" &
APP_PID=$!
sleep "$SECONDS_RUN"
kill -0 "$APP_PID" 2>/dev/null || { echo "soak: the screensaver ended early" >&2; cat "$WORK/stderr.txt" >&2; exit 1; }
kill -TERM "$APP_PID"
STATUS=0
for _ in $(seq 1 300); do
  kill -0 "$APP_PID" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$APP_PID" 2>/dev/null; then
  echo "soak: the screensaver did not end within 30 s of SIGTERM" >&2
  exit 1
fi
wait "$APP_PID" || STATUS=$?
APP_PID=""

python3 - "$STATS" "$START" "$STATUS" "$MIN_DAYS" "$WORK/stderr.txt" "$SPEED" "$RSS_JUDGED" <<'EOF'
import datetime as dt
import statistics
import sys

stats_path, start_text, status, min_days, stderr_path = sys.argv[1], sys.argv[2], int(sys.argv[3]), float(sys.argv[4]), sys.argv[5]
speed = float(sys.argv[6])
rss_judged = sys.argv[7] == "1"
failures = []

samples = []
with open(stats_path) as f:
    for line in f:
        sample = dict(field.split("=", 1) for field in line.split() if "=" in field)
        samples.append(sample)
if len(samples) < 6:
    print(f"soak: only {len(samples)} samples", file=sys.stderr)
    sys.exit(1)

def wall(text):
    return dt.datetime.strptime(text, "%Y-%m-%dT%H:%M:%S")

start = dt.datetime.strptime(start_text, "%Y-%m-%d %H:%M:%S")
last = samples[-1]
end = wall(last["wall1"])
days = (end - start).total_seconds() / 86400
midnights = (end.date() - start.date()).days
months = (end.year - start.year) * 12 + end.month - start.month
print(f"simulated: {start} -> {end} ({days:.2f} days, {midnights} midnights, {months} month ends)")
if days < min_days:
    failures.append(f"only {days:.2f} simulated days (wanted {min_days})")
if status != 0:
    failures.append(f"exit status {status} after SIGTERM")
with open(stderr_path) as f:
    err = f.read().strip()
if err:
    failures.append("stderr: " + err[:300])

# Resource figures, after the first sample (start-up and first pages).
steady = samples[1:]
half = len(steady) // 2
first, second = steady[:half], steady[half:]
print(f"{'figure':10} {'first':>9} {'last':>9} {'min':>9} {'max':>9}  (over {len(steady)} samples)")
def series(key, rows):
    return [int(s[key]) for s in rows]
for key in ["nodes", "packs", "packrefs", "packtex", "proctex", "gltex", "glnext", "rss_kb"]:
    v = series(key, steady)
    print(f"{key:10} {v[0]:>9} {v[-1]:>9} {min(v):>9} {max(v):>9}")

# Constant: the packs stay open and the procedural textures stay the same.
for key in ["packs", "proctex"]:
    if len(set(series(key, steady))) != 1:
        failures.append(f"{key} changed: {sorted(set(series(key, steady)))}")
# Flat: what the second half reaches, the first half reached too, give or
# take what a frame may hold in passing (a page rebuilt mid-sample adds 46
# nodes for a few frames, each changing digit one outgoing node) and what
# the digits on show share (the same digit twice needs one texture). A leak
# of one node or texture per minute or per second would be thousands.
for key, slack, typical in [("nodes", 50, 5), ("packrefs", 100, 20), ("packtex", 10, 10), ("gltex", 10, 10)]:
    a, b = series(key, first), series(key, second)
    if max(b) > max(a) + slack or statistics.median(b) > statistics.median(a) + typical:
        failures.append(f"{key} grows: first half median {statistics.median(a)} max {max(a)}, "
                        f"second half median {statistics.median(b)} max {max(b)}")
rss_first = statistics.median(series("rss_kb", first))
rss_second = statistics.median(series("rss_kb", second))
print(f"rss_kb median: first half {rss_first:.0f}, second half {rss_second:.0f}")
if not rss_judged:
    print("rss_kb not judged: a sanitizer build holds freed memory back")
elif rss_second > rss_first * 1.02 + 1024:
    failures.append(f"resident memory grows: {rss_first:.0f} -> {rss_second:.0f} kB")

frames = int(last["frames"])
real = float(last["t"])
print(f"frames: {frames} in {real:.0f} s ({frames / real:.1f} frames per real second)")

# What the overlays show must be the wall clock of that frame, read between
# wall0 (before it) and wall1 (after it): checked at every sample. Each
# overlay reads the clock afresh, so a value can move on between two
# readings in one frame: a digit made for one second then expires in its
# own first draw (it is still drawn once), and a page made for one day is
# taken down before it is drawn, leaving no page ("-") for that frame. At
# high speeds a frame spans minutes and this happens; such samples are
# counted, and at real speed not allowed at all.
def check_overlays(sample):
    problems, blank = [], False
    t0, t1 = wall(sample["wall0"]), wall(sample["wall1"])
    moments = [t0 + dt.timedelta(seconds=i) for i in range(int((t1 - t0).total_seconds()) + 1)]
    span = f"the frame ran {t0} .. {t1}"
    clock = sample.get("clock", "").split("|")
    if len(clock) != 6:
        return [f"clock: unexpected places {clock}"], blank
    sign, tens, units, sep, mtens, munits = clock
    blank = "-" in clock
    if sign != "-" and sign not in ("am", "pm"):
        problems.append(f"clock sign {sign!r}")
    if tens not in ("-", "_", "1") or units not in "-0123456789" or mtens not in "-012345" or munits not in "-0123456789":
        problems.append(f"clock: not a 12-hour display {clock}")
    else:
        # Each place reads the clock for itself, so when a frame spans a
        # change of hour or minute two places may come from different
        # moments of it: each must show what it showed at some moment.
        def places(x):
            h = x.hour % 12 or 12
            return ("pm" if x.hour >= 12 else "am", "_" if h < 10 else "1", str(h % 10),
                    str(x.minute // 10), str(x.minute % 10))
        shown = (sign, tens, units, mtens, munits)
        names = ("sign", "hour tens", "hour units", "minute tens", "minute units")
        for i, name in enumerate(names):
            if shown[i] != "-" and shown[i] not in {places(x)[i] for x in moments}:
                problems.append(f"clock shows {name} {shown[i]} ({sign} {tens}{units}:{mtens}{munits}), {span}")
    if sep not in ("-", "_", "dot"):
        problems.append(f"separator {sep!r}")
    elif len(moments) == 1 and sep != "-" and (sep == "dot") != (t0.second % 2 == 1):
        problems.append(f"separator {sep!r} in second {t0.second}")

    calendar = sample.get("calendar", "").split(",")
    if len(calendar) != 3:
        problems.append(f"calendar: unexpected {calendar}")
    elif "-" in calendar:
        blank = True
    else:
        month, day, first_cell = calendar
        match = [d for d in {x.date() for x in moments} if month == f"m{d.month}" and day == str(d.day)]
        if not match:
            problems.append(f"calendar shows {month} {day}, {span}")
        else:
            d = match[0]
            sunday_first = (d.replace(day=1).weekday() + 1) % 7
            if first_cell != f"first={sunday_first}":
                problems.append(f"calendar: the 1st of {d:%B %Y} in cell {first_cell}, expected {sunday_first}")
    return problems, blank

blanks = 0
for sample in samples:
    problems, blank = check_overlays(sample)
    blanks += blank
    failures += [f"at t={sample['t']}: {p}" for p in problems]
print(f"last frame between {last['wall0']} and {last['wall1']}: "
      f"clock={last.get('clock')} calendar={last.get('calendar')}")
print(f"samples with an empty place: {blanks} of {len(samples)}")
if blanks > (0 if speed <= 1 else len(samples) // 5):
    failures.append(f"{blanks} of {len(samples)} samples with an empty place at x{speed}")

# The counter: the average over its last window of 5000 ticks, which ended
# at most 5000 ticks before the last sample. The rates of the intervals
# that cover the last 10000 ticks bound what it may show.
fps_digits = last.get("fps", "-")
rates = []
for a, b in zip(samples[:-1], samples[1:]):
    ticks_d = int(b["ticks"]) - int(a["ticks"])
    if ticks_d > 0 and int(last["ticks"]) - int(b["ticks"]) < 10000:
        rates.append((int(b["frames"]) - int(a["frames"])) * 1000.0 / ticks_d)
if not rates:
    rates = [0.0]
try:
    shown = int(fps_digits.replace(",", ""))
except ValueError:
    shown = None
print(f"counter shows {fps_digits}; the last intervals ran {min(rates):.2f} .. {max(rates):.2f} frames per 1000 ticks")
if shown is None or not (min(rates) * 0.8 - 2 <= shown <= max(rates) * 1.2 + 2):
    failures.append(f"counter shows {fps_digits}, measured {min(rates):.2f} .. {max(rates):.2f}")

if failures:
    for f in failures:
        print("FAIL:", f)
    sys.exit(1)
print("soak: flat and right")
EOF

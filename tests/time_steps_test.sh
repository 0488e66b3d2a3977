#!/usr/bin/env bash
# Ordinary events of a machine's life under a running screensaver: the wall
# clock stepped back an hour and forward a month (same day of the month),
# the process stopped for three seconds and continued. Frame time goes on in
# ordinary steps, the bunch and the orbit keep turning at their rates, the
# frame counter shows a rate again within its window, and the calendar turns
# to the new month's page.
set -u
BIN="${QUESSANTA_BIN:?}"
TEST_NAME=time-steps source "${QUESSANTA_SOURCE_DIR:?}/tests/support/script_test.sh"
start_xvfb || exit 1
export QUESSANTA_COMMON_APPDATA="$T/appdata" SDL_VIDEODRIVER=x11 QUESSANTA_SEED=3

faketime=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -1)
[ -n "$faketime" ] || { fail "libfaketime is not installed"; exit 1; }
preload=$faketime
# The sanitizer build's runtime must come first.
asan=$(ldd "$BIN/Quessanta" | sed -n 's/.*libasan[^ ]* => \([^ ]*\).*/\1/p')
[ -n "$asan" ] && preload="$asan:$faketime"

echo "@2026-12-08 12:00:00" >"$T/ft"
env LD_PRELOAD="$preload" FAKETIME_TIMESTAMP_FILE="$T/ft" FAKETIME_CACHE_DURATION=1 FAKETIME_DONT_FAKE_MONOTONIC=1 \
  QUESSANTA_STATS_FILE="$T/stats" QUESSANTA_STATS_SECONDS=0.25 \
  "$BIN/Quessanta" --fps --calendar=english 2>"$T/err" &
pid=$!
mark() { echo "$1 $(wc -l <"$T/stats" 2>/dev/null || echo 0)" >>"$T/marks"; }
sleep 6
mark back;  echo "@2026-12-08 11:00:00" >"$T/ft"; sleep 6
mark month; echo "@2027-01-08 11:00:10" >"$T/ft"; sleep 2.5
mark stop;  kill -STOP "$pid"; sleep 3; kill -CONT "$pid"; sleep 2
term_promptly "$pid" "after the steps"
[ -s "$T/err" ] && fail "stderr: $(head -c 300 "$T/err")"

# Report by report: seconds, ticks, the two angles, the calendar, the counter.
sed -n 's/^t=\([0-9.]*\) frames=[0-9]* ticks=\([0-9]*\) .* turn=\([-0-9.]*\),\([-0-9.]*\) .*calendar=\([^ ]*\) fps=\([^ ]*\).*/\1 \2 \3 \4 \5 \6/p' \
  "$T/stats" >"$T/rows"
[ "$(wc -l <"$T/rows")" -ge 40 ] || fail "only $(wc -l <"$T/rows") reports: $(head -c 300 "$T/stats")"
line_of() { awk -v m="$1" '$1 == m { print $2 }' "$T/marks"; }
awk -v back="$(line_of back)" -v month="$(line_of month)" -v stop="$(line_of stop)" '
  function turned(a, b) { d = b - a; while (d < 0) d += 360; while (d >= 360) d -= 360; return d }
  NR > 1 {
    dt = $1 - t; dticks = $2 - ticks
    # Never back, never more than the real time between reports plus a frame
    # of slack, and across the stop far less than the stop itself.
    if (dticks < 0 || dticks > 1000 * dt + 300) { print "FAIL: report " NR ": " dticks " ms of ticks in " dt " s"; bad++ }
    if (NR == stop + 1 && dticks > 1000) { print "FAIL: the stop of 3 s moved time on by " dticks " ms"; bad++ }
    # The bunch turns 7 degrees a second, the orbit 30, by frame time.
    if (dticks < 1000) {
      if ((e = turned(b, $3) - 7 * dticks / 1000) > 0.05 || e < -0.05) { print "FAIL: report " NR ": the bunch turned " turned(b, $3); bad++ }
      if ((e = turned(o, $4) - 30 * dticks / 1000) > 0.2 || e < -0.2) { print "FAIL: report " NR ": the orbit turned " turned(o, $4); bad++ }
    }
    if (NR == month && $5 !~ /^m12,8,/) { print "FAIL: before the month step the calendar shows " $5; bad++ }
    if (NR == stop && $5 !~ /^m1,8,/) { print "FAIL: after the month step the calendar shows " $5; bad++ }
    # The counter shows a rate again within its window of 5 s after the step back.
    if (NR == month && $6 !~ /[1-9]/) { print "FAIL: 6 s after the step back the counter shows " $6; bad++ }
  }
  { t = $1; ticks = $2; b = $3; o = $4 }
  END { exit bad > 0 }' "$T/rows" || failures=$((failures + 1))
echo "reports: $(wc -l <"$T/rows"), first $(head -n1 "$T/rows"), last $(tail -n1 "$T/rows")"
exit $failures

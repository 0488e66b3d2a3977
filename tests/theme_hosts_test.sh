#!/usr/bin/env bash
# xfce4-screensaver and mate-screensaver with the installed package, each as
# an unprivileged user with an X server and a D-Bus session of its own, as a
# user meets them: typing "Quessanta" in the theme list of the host's
# preferences chooses it (so the list has it), the host then runs it full
# screen when it activates, and it is gone within a second after the host
# deactivates. Prints how long each host took from activation to the scene
# and from deactivation to the hack's exit. Run by scripts/deb-check.sh
# (the hosts run themes only from the system's folders, so there is no test
# of the build's own installation).
set -u
USER_ID=65534

# --- One host, inside its D-Bus session, as the user.
if [ "${1:-}" = inside ]; then
  host=$2
  source "$(dirname "$0")/scene_picture.sh"
  failures=0
  fail() { echo "FAIL: $host: $*"; failures=$((failures + 1)); }
  now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
  hack_running() { pgrep -u $USER_ID -x quessanta >/dev/null; }
  trap 'jobs -p | xargs -r kill 2>/dev/null' EXIT
  case $host in
    mate-screensaver)
      prefs=mate-screensaver-preferences daemon=(mate-screensaver --no-daemon) command=mate-screensaver-command
      gsettings set org.mate.screensaver lock-enabled false
      chosen() { [ "$(gsettings get org.mate.screensaver mode)" = "'single'" ] &&
                 [ "$(gsettings get org.mate.screensaver themes)" = "['screensavers-quessanta']" ]; }
      ;;
    xfce4-screensaver)
      prefs=xfce4-screensaver-preferences daemon=(xfce4-screensaver) command=xfce4-screensaver-command
      xfconf-query -c xfce4-screensaver -p /lock/enabled -n -t bool -s false
      chosen() { xfconf-query -c xfce4-screensaver -lv >"$HOME/store" 2>&1
                 grep -q '^/saver/mode  *2$' "$HOME/store" &&
                 grep -q '^/saver/themes/list  *\[screensavers-quessanta\]$' "$HOME/store"; }
      ;;
  esac

  # The preferences: the first row of the theme list is chosen at start,
  # drawn in the selection colour (the leftmost block of it at least a row
  # tall: a tab's underline has it too); a click there gives the list the
  # keyboard, and typing a name chooses the first theme it begins.
  "$prefs" >"$HOME/$host-prefs.log" 2>&1 &
  prefs_pid=$!
  window=""
  for _ in $(seq 1 100); do
    window=$(xdotool search --onlyvisible --name "Screensaver Preferences" 2>/dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.2
  done
  if [ -z "$window" ]; then
    fail "no preferences window: $(tail -3 "$HOME/$host-prefs.log")"
    exit $failures
  fi
  sleep 2
  import -window "$window" "$HOME/$host-prefs.png" 2>/dev/null
  row=$(convert "$HOME/$host-prefs.png" -depth 8 ppm:- | python3 -c '
import sys
data = sys.stdin.buffer.read()
parts = data.split(b"\n", 3)
w, h = map(int, parts[1].split()); px = parts[3]
def blue(x, y):
    i = 3 * (y * w + x)
    return px[i + 2] > 180 and px[i] < 110 and 100 < px[i + 1] < 170
for x in range(w):
    run = 0
    for y in range(h):
        run = run + 1 if blue(x, y) else 0
        if run >= 12:
            while y + 1 < h and blue(x, y + 1): y, run = y + 1, run + 1
            print(x + 10, y - run // 2)
            sys.exit()
')
  [ -n "$row" ] || fail "no chosen row in the theme list"
  [ -n "$row" ] && xdotool windowfocus --sync "$window" mousemove --window "$window" $row click 1 2>/dev/null
  sleep 0.5
  xdotool type --delay 60 Quessanta
  ok=0
  for _ in $(seq 1 50); do chosen && { ok=1; break; }; sleep 0.1; done
  [ $ok -eq 1 ] || fail "typing Quessanta in the theme list did not choose it"
  sleep 1
  import -window "$window" "$HOME/$host-chosen.png" 2>/dev/null
  kill "$prefs_pid"
  wait "$prefs_pid" 2>/dev/null
  # Its preview ends with its window.
  for _ in $(seq 1 50); do hack_running || break; sleep 0.1; done
  hack_running && fail "the preview still runs after the preferences closed"

  # The host: activated, it runs the theme full screen.
  "${daemon[@]}" >"$HOME/$host-daemon.log" 2>&1 &
  for _ in $(seq 1 150); do "$command" --query >/dev/null 2>&1 && break; sleep 0.2; done
  start=$(now_ms)
  "$command" --activate >/dev/null 2>&1 || fail "--activate: the host does not answer: $(tail -3 "$HOME/$host-daemon.log")"
  scene=0 colours=0 started=0
  while [ $(( $(now_ms) - start )) -lt 30000 ]; do
    if hack_running; then
      [ $started -eq 0 ] && started=$(( $(now_ms) - start ))
      import -window root "$HOME/$host-shot.png" 2>/dev/null
      colours=$(convert "$HOME/$host-shot.png" -format %k info: 2>/dev/null)
      [ "${colours:-0}" -ge 1000 ] && { scene=$(( $(now_ms) - start )); break; }
    fi
    sleep 0.1
  done
  if [ $scene -eq 0 ]; then
    fail "no scene 30 s after activation ($colours colours; $(pgrep -a -u $USER_ID quessanta | head -1))"
  else
    echo "$host: activation to the scene in $scene ms ($colours colours; the hack started after $started ms)"
    pgrep -a -u $USER_ID -x quessanta | grep -q " --root$" || fail "not the theme's command: $(pgrep -a -u $USER_ID -x quessanta)"
    # Full screen: the overlays at the corners of the whole screen.
    sleep 2
    import -window root "$HOME/$host-shot.png" 2>/dev/null
    check_picture "full screen" "$HOME/$host-shot.png"
  fi

  start=$(now_ms)
  "$command" --deactivate >/dev/null 2>&1
  gone=0
  for _ in $(seq 1 150); do hack_running || { gone=$(( $(now_ms) - start )); break; }; sleep 0.02; done
  if [ $gone -eq 0 ]; then
    fail "the hack still runs 3 s after deactivation"
  else
    echo "$host: deactivation to exit in $gone ms"
    [ $gone -le 1000 ] || fail "deactivation to exit took $gone ms"
  fi
  "$command" --exit >/dev/null 2>&1
  exit $failures
fi

# --- Each host in turn
TEST_NAME=hosts source "${QUESSANTA_SOURCE_DIR:?}/tests/support/script_test.sh"
chmod 755 "$T"
# The user runs its part from here: the checkout may be in root's home.
cp "$0" "$QUESSANTA_SOURCE_DIR/tests/support/scene_picture.sh" "$T"/
desktop-file-validate /usr/share/applications/screensavers/quessanta.desktop >"$T/validate" 2>&1 ||
  fail "the theme entry is not valid: $(cat "$T/validate")"
grep -q "error\|warning" "$T/validate" && fail "the theme entry: $(cat "$T/validate")"
for host in mate-screensaver xfce4-screensaver; do
  if ! command -v "$host" >/dev/null; then
    # Debian 12 has no xfce4-screensaver.
    grep -q "Candidate: [0-9]" <<<"$(apt-cache policy "$host" 2>/dev/null)" && fail "$host is not installed" ||
      echo "$host: not in this Debian release, not tried"
    continue
  fi
  start_xvfb || { fail "$host: no X server"; continue; }
  mkdir "$T/home-$host"
  chown $USER_ID:$USER_ID "$T/home-$host"
  case $host in mate-screensaver) desktop=MATE ;; *) desktop=XFCE ;; esac
  setpriv --reuid=$USER_ID --regid=$USER_ID --clear-groups env -i PATH=/usr/bin:/bin LANG=C.UTF-8 \
    HOME="$T/home-$host" DISPLAY="$DISPLAY" XDG_CURRENT_DESKTOP=$desktop \
    timeout 180 dbus-run-session -- bash "$T/$(basename "$0")" inside "$host" 2>"$T/$host.err"
  rc=$?
  if [ $rc -ge 100 ]; then
    fail "$host: the test ended early (exit $rc): $(tail -3 "$T/$host.err")"
  elif [ $rc -ne 0 ]; then
    failures=$((failures + rc))
  fi
  [ -n "${QUESSANTA_KEEP_SHOTS:-}" ] && cp "$T/home-$host"/*.png "$QUESSANTA_KEEP_SHOTS"/
  stop_xvfb
done
[ $failures -eq 0 ] && echo "theme hosts: all good"
exit $failures

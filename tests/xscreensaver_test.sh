#!/usr/bin/env bash
# End to end under XScreenSaver, as a user sets it up: the daemon and the
# hack run as an unprivileged user (XScreenSaver refuses root), the hack is
# chosen in ~/.xscreensaver, and when the screen blanks the scene shows;
# when XScreenSaver deactivates, the hack is gone within 5 seconds. The
# hack is the one installed from this build into a temporary prefix, or
# QUESSANTA_HACK (the .deb's /usr/libexec/xscreensaver/quessanta in CI). The
# installed settings descriptor must be well-formed and offer what the hack
# takes.
set -u
command -v xscreensaver >/dev/null || { echo "FAIL: xscreensaver is not installed"; exit 1; }
TEST_NAME=xscreensaver source "${QUESSANTA_SOURCE_DIR:?}/tests/support/script_test.sh"
chmod 755 "$T"
start_xvfb || exit 1
USER_ID=65534
as_user() { setpriv --reuid=$USER_ID --regid=$USER_ID --clear-groups env HOME="$T/home" DISPLAY="$DISPLAY" "$@"; }
cleanup_more() { as_user xscreensaver-command -exit >/dev/null 2>&1; }
source "${QUESSANTA_SOURCE_DIR:?}/tests/support/scene_picture.sh"

HACK="${QUESSANTA_HACK:-}"
if [ -z "$HACK" ]; then
  cmake --install "${QUESSANTA_BINARY_DIR:?}" --prefix "$T/prefix" >/dev/null || { echo "FAIL: cannot install"; exit 1; }
  HACK="$T/prefix/libexec/xscreensaver/quessanta"
fi
[ -x "$HACK" ] || { echo "FAIL: no hack at $HACK"; exit 1; }
DESCRIPTOR="$(cd "$(dirname "$(readlink -f "$HACK")")/../.." && pwd)/share/xscreensaver/config/quessanta.xml"

# --- The settings descriptor
if xmllint --noout "$DESCRIPTOR" 2>"$T/xml"; then
  x() { xmllint --xpath "$1" "$DESCRIPTOR" 2>/dev/null; }
  [ "$(x 'string(/screensaver/@gl)')" = yes ] || fail "descriptor: not marked gl"
  [ "$(x 'string(/screensaver/command/@arg)')" = --root ] || fail "descriptor: no --root command"
  [ "$(x 'count(/screensaver/select)')" = 5 ] || fail "descriptor: not one choice per setting"
  [ "$(x 'count(/screensaver/select/option[1][@arg-set])')" = 0 ] || fail "descriptor: a first choice adds an option"
  # The frame-rate limit: automatic first (the program's default, which
  # follows the renderer), then fixed rates.
  [ "$(x 'count(/screensaver/select[@id="max-fps"]/option[@arg-set="--max-fps=30"])')" = 1 ] ||
    fail "descriptor: no frame-rate choice"
  # Every option the descriptor can add is one the hack takes.
  for arg in $(x '//option/@arg-set' | sed 's/ *arg-set="\([^"]*\)"/\1\n/g'); do
    "$HACK" "$arg" --help >/dev/null 2>&1 || fail "descriptor: the hack refuses $arg"
  done
  grep -qi "resolution" "$DESCRIPTOR" && grep -qi "exit-on-mouse" "$DESCRIPTOR" ||
    fail "descriptor: does not say resolution and exit-on-mouse do not apply"
else
  fail "descriptor is not well-formed: $(cat "$T/xml")"
fi

# --- Blanking with XScreenSaver
mkdir "$T/home"
cat >"$T/home/.xscreensaver" <<EOF
mode: one
selected: 0
lock: False
splash: False
fade: False
unfade: False
timeout: 1:00:00
programs: GL: $HACK --root \\n
EOF
chown -R $USER_ID:$USER_ID "$T/home"
as_user xscreensaver -no-splash >"$T/daemon.log" 2>&1 &
hack_running() { pgrep -u $USER_ID -f "$HACK" >/dev/null; }
# On a busy machine the daemon takes a while to answer; until it does, a
# command to it fails. Then blank the screen with the hack.
for _ in $(seq 1 150); do as_user xscreensaver-command -time >/dev/null 2>&1 && break; sleep 0.2; done
selected=0
for _ in 1 2 3; do
  if as_user xscreensaver-command -select 1 >"$T/select.log" 2>&1; then
    for _ in $(seq 1 50); do hack_running && { selected=1; break; }; sleep 0.2; done
  fi
  [ $selected -eq 1 ] && break
  sleep 1
done
[ $selected -eq 1 ] || fail "the hack did not start: $(cat "$T/select.log"; tail -5 "$T/daemon.log")"
sleep 6
hack_running || fail "the hack is not running: $(tail -5 "$T/daemon.log")"
import -window root "$T/blanked.png" 2>/dev/null || fail "no screenshot"
check_picture "under XScreenSaver" "$T/blanked.png"
[ -n "${QUESSANTA_KEEP_SHOTS:-}" ] && cp "$T/blanked.png" "$QUESSANTA_KEEP_SHOTS"/

as_user xscreensaver-command -deactivate >/dev/null 2>&1
gone=0
for _ in $(seq 1 50); do hack_running || { gone=1; break; }; sleep 0.1; done
[ $gone -eq 1 ] || fail "the hack still runs 5 s after deactivation: $(ps -o pid=,stat=,wchan=,etime=,args= -u $USER_ID | tr '\n' ';')"

[ $failures -eq 0 ] && echo "xscreensaver: all good"
exit $failures

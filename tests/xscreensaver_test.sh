#!/usr/bin/env bash
# End to end under XScreenSaver, as a user sets it up: the daemon and the
# hack run as an unprivileged user (XScreenSaver refuses root). With no
# ~/.xscreensaver yet, quessanta-config --add-to-xscreensaver writes one
# whose list is the system's with Quessanta after it; XScreenSaver then runs
# Quessanta as that entry, the scene shows, and when it deactivates the hack
# is gone within 5 seconds. On a file with settings and programs of its own
# the command adds one line and changes no other, a second time nothing,
# and --remove-from-xscreensaver restores the file. The programs are the
# ones installed from this build into a temporary prefix, or those beside
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
PREFIX="$(cd "$(dirname "$(readlink -f "$HACK")")/../.." && pwd)"
DESCRIPTOR="$PREFIX/share/xscreensaver/config/quessanta.xml"
CONFIG="$PREFIX/bin/quessanta-config"

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

# --- Added to a new user's XScreenSaver, which then runs it
mkdir "$T/home"
chown -R $USER_ID:$USER_ID "$T/home"
USER_FILE="$T/home/.xscreensaver"
out=$(as_user "$CONFIG" --add-to-xscreensaver 2>&1) || fail "--add-to-xscreensaver: $out"
# The system's list as its app-defaults spell it ("*programs:" up to the
# first line without a backslash at its end), then Quessanta's line.
list_of() {  # file key
  sed -n "/^$2:/,/[^\\]\$/p" "$1" | sed "1s/^$2://"
}
system=$(list_of /etc/X11/app-defaults/XScreenSaver '\*programs')
count=$(grep -c '\\n' <<<"$system")
expected=$(printf '%s\\\n  GL: \t\t\t\tquessanta --root\t\t\t    \\n' "$system")
[ "$(list_of "$USER_FILE" programs)" = "$expected" ] ||
  fail "the new list is not the system's $count programs and Quessanta: $(diff <(echo "$expected") <(list_of "$USER_FILE" programs) | head -5)"

# XScreenSaver with that file and its own defaults; the programs of this
# installation come first on its PATH.
as_user env PATH="$PREFIX/bin:$PATH" xscreensaver -no-splash >"$T/daemon.log" 2>&1 &
hack_running() { pgrep -u $USER_ID -x quessanta >/dev/null; }
# On a busy machine the daemon takes a while to answer; until it does, a
# command to it fails. Then blank the screen with Quessanta, the entry after
# the system's.
for _ in $(seq 1 150); do as_user xscreensaver-command -time >/dev/null 2>&1 && break; sleep 0.2; done
selected=0
for _ in 1 2 3; do
  start=$(now_ms)
  if as_user xscreensaver-command -select $((count + 1)) >"$T/select.log" 2>&1; then
    for _ in $(seq 1 100); do hack_running && { selected=1; break; }; sleep 0.1; done
  fi
  [ $selected -eq 1 ] && break
  sleep 1
done
[ $selected -eq 1 ] || fail "the hack did not start: $(cat "$T/select.log"; tail -5 "$T/daemon.log")"
# XScreenSaver fades the screen out first, and a busy machine slows the
# first frame: the scene is waited for.
scene=0
while [ $selected -eq 1 ] && [ $(( $(now_ms) - start )) -lt 30000 ]; do
  import -window root "$T/blanked.png" 2>/dev/null
  colours=$(convert "$T/blanked.png" -format %k info: 2>/dev/null)
  [ "${colours:-0}" -ge 1000 ] && { scene=$(( $(now_ms) - start )); break; }
  sleep 0.2
done
[ $scene -gt 0 ] && echo "xscreensaver: activation to the scene in $scene ms ($colours colours)"
sleep 2
hack_running || fail "the hack is not running: $(tail -5 "$T/daemon.log")"
import -window root "$T/blanked.png" 2>/dev/null || fail "no screenshot"
check_picture "under XScreenSaver" "$T/blanked.png"
[ -n "${QUESSANTA_KEEP_SHOTS:-}" ] && cp "$T/blanked.png" "$QUESSANTA_KEEP_SHOTS"/

start=$(now_ms)
as_user xscreensaver-command -deactivate >/dev/null 2>&1
gone=0
for _ in $(seq 1 250); do hack_running || { gone=1; break; }; sleep 0.02; done
[ $gone -eq 1 ] || fail "the hack still runs 5 s after deactivation: $(ps -o pid=,stat=,wchan=,etime=,args= -u $USER_ID | tr '\n' ';')"
echo "xscreensaver: deactivation to exit in $(( $(now_ms) - start )) ms"
as_user xscreensaver-command -exit >/dev/null 2>&1

# --- A file of the user's own: one line more, and back
rm -f "$USER_FILE" "$USER_FILE.before-quessanta"
printf '%s\n' "# XScreenSaver Preferences File" "" "timeout:	0:07:00" "lock:		True" \
  "programs:								      \\" \
  "				maze --root				    \\n\\" \
  "- GL: 				superquadrics --root			    \\n\\" \
  "  \"My clock\"	xclock -update 1			    \\n\\" "" "pointerHysteresis:	10" >"$T/own"
cp "$T/own" "$USER_FILE"
chown $USER_ID:$USER_ID "$USER_FILE"
as_user "$CONFIG" --add-to-xscreensaver >/dev/null 2>&1 || fail "add to the user's own file failed"
[ "$(diff "$T/own" "$USER_FILE" | grep -c '^[<>]')" = 1 ] && diff "$T/own" "$USER_FILE" | grep -q '^> .*quessanta --root' ||
  fail "add changed more than one line: $(diff "$T/own" "$USER_FILE")"
cmp -s "$T/own" "$USER_FILE.before-quessanta" || fail "the file as it was is not kept"
cp -p "$USER_FILE" "$T/once"
sleep 1.1
as_user "$CONFIG" --add-to-xscreensaver >/dev/null 2>&1 || fail "a second add failed"
[ "$(stat -c %Y "$USER_FILE")" = "$(stat -c %Y "$T/once")" ] && cmp -s "$T/once" "$USER_FILE" ||
  fail "a second add changed the file"
as_user "$CONFIG" --remove-from-xscreensaver >/dev/null 2>&1 || fail "remove failed"
cmp -s "$T/own" "$USER_FILE" || fail "remove did not restore the file: $(diff "$T/own" "$USER_FILE")"

[ $failures -eq 0 ] && echo "xscreensaver: all good"
exit $failures

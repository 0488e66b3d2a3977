#!/usr/bin/env bash
# The run modes end to end: the real executable with stand-in programs in a
# temporary installation directory.
set -uo pipefail
SAVER="$QUESSANTA_BIN/Quessanta"
T=$(mktemp -d /tmp/quessanta-runmodes-test-XXXXXX)
INST="$T/install dir"  # a space, so the path is passed whole
cleanup() {
  for f in "$T"/*.pid; do [ -s "$f" ] && kill -KILL "$(cat "$f")" 2>/dev/null; done
  rm -rf "$T"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

mkdir -p "$INST" "$T/elsewhere"
INST=$(cd "$INST" && pwd -P)
export QUESSANTA_COMMON_APPDATA="$T/appdata"

# Stand-ins: each records how it was started, then runs for a while.
make_standin() {  # name seconds
  cat >"$INST/$1" <<EOF
#!/bin/sh
echo \$\$ >"$T/$1.pid"
{ pwd -P; echo "args=\$#"; echo "var=\${SDL_VIDEO_ALLOW_SCREENSAVER-unset}"; } >"$T/$1.started"
sleep $2
echo ended >"$T/$1.ended"
EOF
  chmod +x "$INST/$1"
}
reset_logs() { rm -f "$T"/*.started "$T"/*.ended "$T"/*.pid; }
# Runs the executable from another folder, without the variable; gives up
# after 20 s so a hang fails instead of stalling the suite.
run() {
  (cd "$T/elsewhere" && env -u SDL_VIDEO_ALLOW_SCREENSAVER QUESSANTA_PATH="$1" timeout 20 "$SAVER" "${@:2}") \
    >"$T/out" 2>"$T/err"
}

make_standin Quessanta 0.5
make_standin config 4

# --- "/s", "/S", "-s": wait, pass the variable, the working directory and no
# arguments; QUESSANTA_PATH with or without its trailing slash.
for sw in /s /S -s; do
  for dir in "$INST" "$INST/"; do
    reset_logs
    run "$dir" "$sw"; rc=$?
    [ $rc -eq 0 ] || fail "$sw: exit $rc: $(cat "$T/err")"
    [ -e "$T/Quessanta.ended" ] || fail "$sw: returned before the screensaver program ended"
    if [ -e "$T/Quessanta.started" ]; then
      expected=$(printf '%s\nargs=0\nvar=1' "$INST")
      [ "$(cat "$T/Quessanta.started")" = "$expected" ] ||
        fail "$sw: started as '$(cat "$T/Quessanta.started")', expected '$expected'"
    else
      fail "$sw: the screensaver program was not started"
    fi
    [ -e "$T/config.started" ] && fail "$sw: started config"
  done
done

# --- "/c" and "/C:1234": return while config keeps running
for sw in /c /C:1234; do
  reset_logs
  start=$(date +%s%N)
  run "$INST" "$sw"; rc=$?
  took=$(( ($(date +%s%N) - start) / 1000000 ))
  [ $rc -eq 0 ] || fail "$sw: exit $rc: $(cat "$T/err")"
  [ -e "$T/config.ended" ] && fail "$sw: waited for config to end"
  [ $took -lt 3000 ] || fail "$sw: took $took ms to return"
  for _ in $(seq 1 50); do [ -s "$T/config.pid" ] && [ -e "$T/config.started" ] && break; sleep 0.1; done
  if [ -s "$T/config.pid" ]; then
    kill -0 "$(cat "$T/config.pid")" 2>/dev/null || fail "$sw: config is not running after the return"
    [ "$(cat "$T/config.started")" = "$(printf '%s\nargs=0\nvar=unset' "$INST")" ] ||
      fail "$sw: config started as '$(cat "$T/config.started")'"
    kill -KILL "$(cat "$T/config.pid")" 2>/dev/null
  else
    fail "$sw: config was not started"
  fi
  [ -e "$T/Quessanta.started" ] && fail "$sw: started the screensaver program"
done

# --- "/p" glued to digits, and an empty command line: the screensaver itself.
# With the dummy video driver it stops at the video mode, which proves the
# mode was chosen.
for args in "/p123" ""; do
  reset_logs
  (cd "$T/elsewhere" && SDL_VIDEODRIVER=dummy QUESSANTA_PATH="$INST" timeout 20 "$SAVER" $args) >"$T/out" 2>"$T/err"
  rc=$?
  [ $rc -eq 1 ] || fail "'$args': exit $rc, expected 1 from the failed video mode"
  grep -q "^Quessanta: Video mode set failed: " "$T/err" || fail "'$args': stderr '$(cat "$T/err")'"
  [ -e "$T/Quessanta.started" ] || [ -e "$T/config.started" ] && fail "'$args': started a program"
done

# --- a program that cannot be started: one line naming the path, non-zero
check_unstartable() {  # switch program
  run "$INST" "$1"; local rc=$?
  [ $rc -ne 0 ] || fail "$1 with $2 unstartable: exit 0"
  [ "$(wc -l <"$T/err")" -eq 1 ] || fail "$1 with $2 unstartable: stderr '$(cat "$T/err")'"
  grep -qF "$INST/$2" "$T/err" || fail "$1: the message does not name $INST/$2: '$(cat "$T/err")'"
}
chmod -x "$INST/config"  # also refused to root: no execute bit at all
check_unstartable /c config
rm -f "$INST/Quessanta"
check_unstartable /s Quessanta
# An installation directory that does not exist.
run "$T/missing" /s; rc=$?
[ $rc -ne 0 ] && grep -qF "$T/missing/Quessanta" "$T/err" || fail "missing installation directory: exit $rc, '$(cat "$T/err")'"

if [ $failures -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "run modes: all passed"

#!/usr/bin/env bash
# Every way the screensaver, its switches and config end on a fatal error:
# each gives exactly one line on stderr, starting with the program's name,
# and exit status 1 (a bad option: the line, the hint and 2). The Windows
# build's message boxes are checked under Wine (tests/windows_test.sh).
set -u
BIN="${QUESSANTA_BIN:?}"
HELPERS="${QUESSANTA_TEST_HELPERS:?}"
TEST_NAME=fatal source "${QUESSANTA_SOURCE_DIR:?}/tests/support/script_test.sh"
start_xvfb || exit 1
export QUESSANTA_COMMON_APPDATA="$T/appdata" SDL_VIDEODRIVER=x11
cases=0

# expect NAME STATUS CASE COMMAND...: COMMAND (run with a time limit) ends
# with STATUS and one line on stderr that starts with "NAME: " (a usage
# error: that line and the hint).
expect() {
  local name=$1 status=$2 what=$3 rc lines=1
  shift 3
  cases=$((cases + 1))
  timeout 30 "$@" >"$T/out" 2>"$T/err" </dev/null
  rc=$?
  [ "$status" -eq 2 ] && lines=2
  if [ $rc -ne "$status" ] || [ "$(wc -l <"$T/err")" -ne $lines ] || ! head -n1 "$T/err" | grep -q "^$name: ." ||
     { [ $lines -eq 2 ] && [ "$(tail -n1 "$T/err")" != "Try '$name --help'." ]; }; then
    fail "$what: exit $rc (expected $status), stderr '$(head -c 400 "$T/err")'"
  else
    echo "$what: $(head -n1 "$T/err")"
  fi
}

# An installation without one of its packs, or with one broken.
partial() {  # folder, pack to break, how (missing|empty)
  mkdir -p "$1"
  for f in "$BIN"/*.pak "$BIN"/preview.ppk; do ln -sf "$f" "$1/"; done
  rm -f "$1/$2"
  [ "$3" = empty ] && : >"$1/$2"
}
partial "$T/no-main" main.pak missing
partial "$T/empty-clock" clock.pak empty
mkdir -p "$T/empty"

# The screensaver.
expect Quessanta 2 "bad option" "$BIN/Quessanta" --clock=25h
expect Quessanta 1 "no DISPLAY" env -u DISPLAY "$BIN/Quessanta"
expect Quessanta 1 "no X server" env DISPLAY=:4711 "$BIN/Quessanta"
expect Quessanta 1 "bad XSCREENSAVER_WINDOW" env XSCREENSAVER_WINDOW=zz "$BIN/Quessanta" --root
expect Quessanta 1 "--root without a display" env -u XSCREENSAVER_WINDOW DISPLAY= SDL_VIDEODRIVER=dummy \
  "$BIN/Quessanta" --root
expect Quessanta 1 "a window that is not there" "$BIN/Quessanta" --window-id 0x1fffffe
expect Quessanta 1 "no video mode" env SDL_VIDEODRIVER=dummy "$BIN/Quessanta"
expect Quessanta 1 "a missing pack" env QUESSANTA_PATH="$T/no-main" "$BIN/Quessanta"
expect Quessanta 1 "an empty pack" env QUESSANTA_PATH="$T/empty-clock" "$BIN/Quessanta" --clock=24h
# The switches.
expect Quessanta 1 "/s without the screensaver program" env QUESSANTA_PATH="$T/empty" "$BIN/Quessanta" /s
expect Quessanta 1 "/c without the settings program" env QUESSANTA_PATH="$T/empty" "$BIN/Quessanta" /c
# The settings program.
expect config 2 "config: bad option" "$BIN/config" --clock=25h
: >"$T/a-file"
expect config 1 "config: no settings folder" env QUESSANTA_COMMON_APPDATA="$T/a-file/sub" "$BIN/config" --fps=on

echo "fatal paths: $cases cases"
exit $failures

#!/usr/bin/env bash
# The command-line rules every program keeps, as a table: -h/--help (usage
# on stdout, exit 0), -V/--version (one line with the project's version,
# exit 0), a usage error (one line and "Try 'NAME --help'." on stderr, exit
# 2), another failure (one line, exit 1), each program naming itself as it
# was called. Then the screensaver and the viewer without an X display, and
# the man pages rendered without a warning.
set -u
BIN="${QUESSANTA_BIN:?}"
VERSION="${QUESSANTA_VERSION:?}"
TEST_NAME=command-line source "${QUESSANTA_SOURCE_DIR:?}/tests/support/script_test.sh"
cd "$T" || exit 1
# The installed names are links to the programs.
ln -s "$BIN/Quessanta" quessanta
ln -s "$BIN/config" quessanta-config
export QUESSANTA_COMMON_APPDATA="$T/appdata"

# name | program | a usage error | another failure (environment and arguments)
TABLE="Quessanta|$BIN/Quessanta|--bogus|DISPLAY= --fps
quessanta|$T/quessanta|-clock 25h|DISPLAY= -root -fps -max-fps 30 -clock 24h -clock-size small -calendar russian
config|$BIN/config|--fps=maybe|QUESSANTA_COMMON_APPDATA=/dev/null/x --fps=on
quessanta-config|$T/quessanta-config|on|QUESSANTA_COMMON_APPDATA=/dev/null/x --reset
pak|$BIN/pak|list|_=1 list $T/absent.pak
viewer|$BIN/viewer|--scene|DISPLAY= --scene --out $T/x.png
artgen|${QUESSANTA_BINARY_DIR:?}/tools/artgen/artgen||_=1 $T/absent"

run() {  # args...: runs with stdout and stderr in files; sets rc
  "$@" >out.txt 2>err.txt; rc=$?
}
while IFS='|' read -r name program usage failure; do
  for help in -h --help; do
    run "$program" $help
    [ $rc -eq 0 ] && [ ! -s err.txt ] || fail "$name $help: exit $rc, stderr $(cat err.txt)"
    head -1 out.txt | grep -q "^Usage: $name " || fail "$name $help: $(head -1 out.txt)"
  done
  for version in -V --version; do
    run "$program" $version
    [ $rc -eq 0 ] && [ ! -s err.txt ] && [ "$(cat out.txt)" = "$name (Quessanta) $VERSION" ] ||
      fail "$name $version: exit $rc, $(cat out.txt err.txt)"
  done
  # shellcheck disable=SC2086 # the table's words are arguments
  run "$program" $usage
  [ $rc -eq 2 ] && [ ! -s out.txt ] && [ "$(wc -l <err.txt)" -eq 2 ] && grep -q "^$name: " err.txt &&
    [ "$(tail -1 err.txt)" = "Try '$name --help'." ] || fail "$name $usage: exit $rc, $(cat out.txt err.txt)"
  # shellcheck disable=SC2086
  run env -u SDL_VIDEODRIVER ${failure%% *} "$program" ${failure#* }
  [ $rc -eq 1 ] && [ ! -s out.txt ] && [ "$(wc -l <err.txt)" -eq 1 ] && grep -q "^$name: " err.txt ||
    fail "$name ${failure#* }: exit $rc, $(cat out.txt err.txt)"
  echo "exit 1: $(cat err.txt)"
done <<<"$TABLE"

# No X display: nothing on stdout, one line, exit 1, whatever driver SDL
# would have fallen back to.
absent=4711
while [ -e "/tmp/.X11-unix/X$absent" ]; do absent=$((absent + 1)); done
for program in Quessanta viewer; do
  args=(); [ $program = viewer ] && args=(--scene --out "$T/x.png")
  run env -u DISPLAY -u SDL_VIDEODRIVER "$BIN/$program" "${args[@]}"
  [ $rc -eq 1 ] && [ ! -s out.txt ] && [ "$(cat err.txt)" = "$program: DISPLAY is not set" ] ||
    fail "$program without DISPLAY: exit $rc, $(wc -c <out.txt) bytes on stdout, $(cat err.txt)"
  run env -u SDL_VIDEODRIVER DISPLAY=":$absent" "$BIN/$program" "${args[@]}"
  [ $rc -eq 1 ] && [ ! -s out.txt ] && [ "$(cat err.txt)" = "$program: cannot open the X display ':$absent'" ] ||
    fail "$program on :$absent: exit $rc, $(wc -c <out.txt) bytes on stdout, $(cat err.txt)"
done

# The man pages as man renders them, without one warning.
for page in quessanta.6 quessanta-config.6; do
  warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l "${QUESSANTA_BINARY_DIR}/man/$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man $page: $warnings"
done

[ $failures -eq 0 ] && echo "command line: all passed"
[ $failures -eq 0 ]

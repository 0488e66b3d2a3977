#!/usr/bin/env bash
# The Windows build under Wine, on an Xvfb and in a Wine prefix of its own:
# the programs as built (GUI programs needing only system DLLs, with icon,
# manifest and a version record of their own, the uninstaller's too), the
# preview in a host's window and its pixels at several sizes, "/s" with the
# scene on screen and Esc, "/c" and the settings dialog (Cancel, OK, its
# owner, one at a time), a settings round trip through config.exe and
# ProgramData that the screensaver shows, exit on mouse motion, a close
# request, Alt+F4, a resolution the monitor lacks, a broken pack's message
# box, images the Windows decoder refuses, and the installer (Start menu
# shortcuts; again into a folder named in Cyrillic and Chinese, with /s, /c
# and a killed .scr from there) and uninstaller; ten starts in a row each
# take the keyboard from another program's window. Then on two monitors
# (scripts/two-monitors.sh): "/s" covers both, a window on the second
# included, Esc and Alt+F4 end both, ten starts in a row each take the
# keyboard, and a killed .scr leaves none.
# Usage: tests/windows_test.sh [BUILD_DIR]   (default build-win, made by
# scripts/windows-build.sh). One line per check, then a summary line:
#   windows tests: N passed, M failed
set -uo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
WIN=$(cd "${1:-$ROOT/build-win}" && pwd)
INST=$WIN/quessanta
HELPERS=$WIN/tests/win32
T=$(mktemp -d /tmp/quessanta-wine-test-XXXXXX)
passed=0
failed=0
ok() { echo "ok: $*"; passed=$((passed + 1)); }
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }
summary() { echo "windows tests: $passed passed, $failed failed"; }

# Nothing of a Linux test run's environment may reach the Windows programs
# (Wine passes it on): no video driver, settings folder or install path.
KEEP_SHOTS="${QUESSANTA_KEEP_SHOTS:-}"
for v in $(compgen -e | grep -E '^(QUESSANTA_|SDL_)'); do unset "$v"; done
export WINEPREFIX=$T/prefix WINEDEBUG=-all
# Wine takes the command line's and the files' names in the locale's
# encoding: UTF-8, so that any folder name can be given.
export LC_ALL=C.UTF-8
# No Mono or Gecko: a new prefix would otherwise offer to download them. No
# menu entries: the Start menu shortcuts must not reach the Linux desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
source "$ROOT/scripts/xvfb.sh"
# Two monitors as Wine sees them on Linux (exports DISPLAY; one line when
# it fails): Wine's own servers stop first, as they belong to a display.
source "$ROOT/scripts/two-monitors.sh"
start_wine_on_two_monitors() {
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  stop_xvfb
  start_two_monitors
}
cleanup() {
  wineserver -k 2>/dev/null
  stop_two_monitors
  stop_xvfb
  rm -rf "$T"
}
trap cleanup EXIT
if ! start_xvfb; then fail "no Xvfb"; summary; exit 1; fi

DRIVE_C=$WINEPREFIX/drive_c
SETTINGS=$DRIVE_C/ProgramData/Zandrim_Quessanta_cfg
PROGRAMS="$DRIVE_C/Program Files/Zandrim/Quessanta"
DATA="main.pak utils.pak butterfly1.pak butterfly2.pak butterfly3.pak butterfly4.pak butterfly5.pak clock.pak
  calendar.pak preview.ppk"

# Shares in percent of kinds of pixel in a rectangle of a screenshot.
shares() {  # png x y w h
  convert "$1" -crop "$4x$5+$2+$3" +repage -depth 8 rgb:- | python3 -c '
import sys
d = sys.stdin.buffer.read(); n = len(d) // 3
c = dict(green=0, plate=0, white=0, red=0, blue=0)
for i in range(0, 3 * n, 3):
    r, g, b = d[i], d[i + 1], d[i + 2]
    c["green"] += g > r + 10 and g > b + 10
    c["plate"] += r < 45 and g < 70 and b < 100 and b > r   # the digital clock plate
    c["white"] += r > 220 and g > 220 and b > 220
    c["red"] += r > 120 and r > 2 * g and r > 2 * b
    c["blue"] += b > 80 and b > r + 40 and b > g + 20
print(" ".join("%s=%d" % (k, 100 * v // max(n, 1)) for k, v in c.items()))'
}
share() { sed -E "s/.*$2=([0-9]+).*/\1/" <<<"$1"; }
# The scene on a 1024x768 screen: a picture, meadow green in the lower half.
check_scene() {  # label png
  local s
  if ! "$ROOT/scripts/screenshot-check.sh" "$2" >/dev/null 2>"$T/shot-err"; then
    fail "$1: $(cat "$T/shot-err")"
    return 1
  fi
  s=$(shares "$2" 0 384 1024 384)
  [ "$(share "$s" green)" -ge 50 ] || { fail "$1: no meadow in the lower half ($s)"; return 1; }
  return 0
}
# The clock's corner and the calendar's header: "digital|analog english|russian".
check_overlays() {  # label png clock calendar
  local corner header
  corner=$(shares "$2" 768 576 256 192)
  header=$(shares "$2" 784 8 232 40)
  case $3 in
    digital) [ "$(share "$corner" plate)" -ge 20 ] || { fail "$1: no digital clock plate ($corner)"; return 1; } ;;
    analog) [ "$(share "$corner" plate)" -le 3 ] && [ "$(share "$corner" white)" -ge 15 ] ||
      { fail "$1: no analogue dial instead of the plate ($corner)"; return 1; } ;;
  esac
  case $4 in
    english) [ "$(share "$header" blue)" -ge 60 ] || { fail "$1: no English calendar's blue header ($header)"; return 1; } ;;
    russian) [ "$(share "$header" red)" -ge 60 ] || { fail "$1: no Russian calendar's red header ($header)"; return 1; } ;;
  esac
  return 0
}

# Milliseconds until the process ends, polled every 50 ms for at most the
# limit given.
gone_after() {  # pid limit-ms
  local start=$(date +%s%N)
  while kill -0 "$1" 2>/dev/null && [ $(( ($(date +%s%N) - start) / 1000000 )) -lt "$2" ]; do sleep 0.05; done
  echo $(( ($(date +%s%N) - start) / 1000000 ))
}

# Runs a screensaver command, takes a screenshot once the scene is up (the
# first seconds after Wine starts can be black), ends it with Esc and waits
# (ended_ms: how long that took). False (after saying why) unless it ran
# until Esc and then exited with 0.
shoot() {  # label png command...
  local label=$1 png=$2 pid rc
  shift 2
  timeout 120 "$@" >"$T/out" 2>"$T/err" &
  pid=$!
  sleep 9
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid"
    fail "$label: ended before the screenshot (exit $?): $(tr -d '\r' <"$T/err")"
    return 1
  fi
  import -window root "$png"
  [ -n "$KEEP_SHOTS" ] && cp "$png" "$KEEP_SHOTS"/
  xdotool key Escape
  ended_ms=$(gone_after "$pid" 20000)
  if kill -0 "$pid" 2>/dev/null; then
    fail "$label: Esc did not end it"
    kill "$pid"
    wait "$pid"
    return 1
  fi
  wait "$pid"
  rc=$?
  [ "$rc" -eq 0 ] || { fail "$label: exit $rc after Esc: $(tr -d '\r' <"$T/err")"; return 1; }
  return 0
}

window_shown() {  # title: waits up to 20 s for a window of that name
  for _ in $(seq 1 100); do
    xdotool search --name "$1" >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  return 1
}
# Keys go to the window with the focus: on a busy machine the dialog's
# window exists before Wine has given it the focus and its controls.
focus_window() {  # title
  local wid
  wid=$(xdotool search --name "$1" 2>/dev/null | head -1)
  [ -n "$wid" ] && xdotool windowfocus --sync "$wid" 2>/dev/null
  sleep 1
}
window_gone() {  # title: waits up to 20 s for it to go
  for _ in $(seq 1 100); do
    xdotool search --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.2
  done
  return 1
}
# The screensavers of "/s": waits up to 30 s for a window on each monitor
# (the count given, default 2) and the scene's first seconds.
both_shown() {
  for _ in $(seq 1 150); do
    [ "$(xdotool search --name '^Quessanta$' 2>/dev/null | wc -l)" -ge "${1:-2}" ] && sleep 5 && return 0
    sleep 0.2
  done
  return 1
}
# The keyboard every time: ten starts of "/s", each ended by one Esc, with
# the window of another program (the marker, which the caller started)
# holding the keyboard and the pointer over it before each, as a user's
# would. A start that Esc did not end is ended by hand, so that the next
# one is a start; the failure says where the X server's focus was.
focus_starts() {  # label windows pointer-x pointer-y
  local ended=0 held=0 slowest=0 took pid marker focus missed=
  marker=$(xdotool search --name '^Marker$' 2>/dev/null | head -1)
  for _ in $(seq 1 10); do
    xdotool mousemove "$3" "$4"
    [ -n "$marker" ] && timeout 5 xdotool windowfocus --sync "$marker" 2>/dev/null
    [ -n "$marker" ] && [ "$(xdotool getwindowfocus 2>/dev/null)" = "$marker" ] && held=$((held + 1))
    timeout 120 wine Quessanta.scr /s >/dev/null 2>&1 &
    pid=$!
    both_shown "$2" || sleep 1
    focus=$(xdotool getwindowfocus getwindowname 2>/dev/null)
    xdotool key Escape
    took=$(gone_after "$pid" 10000)
    if kill -0 "$pid" 2>/dev/null; then
      missed="$missed '${focus:-none}'"
      timeout 30 wine taskkill /F /IM Quessanta.scr >/dev/null 2>&1
    else
      ended=$((ended + 1))
      [ "$took" -gt "$slowest" ] && slowest=$took
    fi
    wait "$pid" 2>/dev/null
  done
  if [ "$ended" -eq 10 ] && [ "$held" -eq 10 ]; then
    ok "$1: 10 starts in a row after another window had the keyboard, each ended by one Esc (slowest $slowest ms)"
  else
    fail "$1: of 10 starts $ended ended on one Esc (the X focus then on:$missed); the marker had the keyboard before $held"
  fi
}
settings_hex() { [ -f "$SETTINGS" ] && xxd -p "$SETTINGS" | tr -d '\n'; }

# --- The programs as built: GUI programs (no console window) that need no
# DLL beyond Windows' own; the .scr is the program.
for exe in Quessanta.exe config.exe pak.exe; do
  dump=$(x86_64-w64-mingw32-objdump -p "$INST/$exe" 2>&1)
  want="Windows GUI"
  [ "$exe" = pak.exe ] && want="Windows CUI"
  extra=$(grep -oE 'DLL Name: .*' <<<"$dump" | cut -d' ' -f3 |
    grep -viE '^(kernel32|user32|gdi32|advapi32|shell32|msvcrt|opengl32|glu32|winmm)\.dll$')
  if grep -q "Subsystem.*($want)" <<<"$dump" && [ -z "$extra" ]; then
    ok "$exe: $want, system DLLs only"
  else
    fail "$exe: not a $want program with system DLLs only (extra: $extra)"
  fi
done
cmp -s "$INST/Quessanta.exe" "$INST/Quessanta.scr" && ok "Quessanta.scr is Quessanta.exe" ||
  fail "Quessanta.scr differs from Quessanta.exe"
# Wine's processes show their Windows command line.
saver_left() { grep -qsa 'Quessanta\.exe' /proc/[0-9]*/cmdline; }

# Icon, manifest (DPI awareness, common controls 6) and version record:
# resource types 14, 24 and 16 at the top of the resource directory; each
# file's record describes that file.
missing=
described=
for exe in "$INST/Quessanta.scr" "$INST/config.exe" "$INST/pak.exe" "$WIN/QuessantaSetup.exe" "$WIN/uninstall.exe"; do
  types=$(x86_64-w64-mingw32-objdump -p "$exe" 2>/dev/null | sed -n '/Resource Directory section/,$p' |
    sed -nE 's/^[0-9a-f]+   Entry: ID: 0x0000([0-9a-f]{2}),.*/\1/p' | tr '\n' ' ')
  for t in 0e:icon 18:manifest 10:version; do
    grep -qw "${t%%:*}" <<<"$types" || missing="$missing $(basename "$exe"):${t#*:}"
  done
  grep -aq 'PerMonitorV2' "$exe" && grep -aq 'Microsoft.Windows.Common-Controls' "$exe" ||
    missing="$missing $(basename "$exe"):manifest-text"
  strings -el "$exe" | grep -qx 'Zandrim' || missing="$missing $(basename "$exe"):company"
  description=$(strings -el "$exe" | grep -x -A1 FileDescription | tail -1)
  original=$(strings -el "$exe" | grep -x -A1 OriginalFilename | tail -1)
  [ "$original" = "$(basename "$exe")" ] || missing="$missing $(basename "$exe"):named-$original"
  described="$described, $original: $description"
done
[ "$(cut -d, -f2- <<<"$described" | tr ',' '\n' | cut -d: -f2 | sort -u | wc -l)" -eq 5 ] ||
  missing="$missing descriptions-not-distinct($described)"
[ -z "$missing" ] && ok "resources: icon, per-monitor DPI and common controls 6 manifest, version by Zandrim; ${described#, }" ||
  fail "resources missing:$missing"

started=$SECONDS
wine wineboot --init >/dev/null 2>&1
# Xvfb has no window manager: Wine is told not to wait for one, which it
# would for two seconds at each change of a full-screen window (at every
# end of the screensaver twice), a delay no Windows has.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
echo "windows: the Wine prefix took $((SECONDS - started)) s"
cd "$INST" || exit 1

# --- "/p": the preview in a host's window
timeout 60 wine Quessanta.exe /p 12345 >"$T/out" 2>"$T/err"
rc=$?
err=$(tr -d '\r' <"$T/err")
[ "$rc" -ne 0 ] && [ "$err" = "Quessanta: preview: 12345 is not a window" ] && ok "/p with a bad handle: one line, exit $rc" ||
  fail "/p with a bad handle: exit $rc, stderr '$err'"

timeout 90 wine "$HELPERS/host_window.exe" 152 112 Quessanta.exe >"$T/out" 2>"$T/err"
rc=$?
out=$(tr -d '\r' <"$T/out")
if [ "$rc" -eq 0 ] && grep -qx "child class=Zandrim size=152x112 children=1" <<<"$out" && grep -qx "exit=0" <<<"$out"; then
  ok "/p: a Zandrim child window filling the host's 152x112, exit 0 when the host goes"
else
  fail "/p in a host window: exit $rc: $out $(tr -d '\r' <"$T/err")"
fi
timeout 90 wine "$HELPERS/host_window.exe" 304 224 Quessanta.exe >"$T/out" 2>&1
out=$(tr -d '\r' <"$T/out")
grep -qx "child class=Zandrim size=304x224 children=1" <<<"$out" && grep -qx "exit=0" <<<"$out" &&
  ok "/p: a 304x224 host gets a 304x224 pane" || fail "/p in a 304x224 host: $out"

QUESSANTA_PATH=$(winepath -w "$INST/") timeout 90 wine "$HELPERS/preview_pixels.exe" >"$T/out" 2>&1
rc=$?
out=$(tr -d '\r' <"$T/out")
[ "$rc" -eq 0 ] && ok "preview pixels: $(grep -c '^pane' <<<"$out") panes painted (152x112 the bitmap; 304x224, 320x240 filled)" ||
  fail "preview pixels: exit $rc: $out"

# --- "/s" with the default settings: the scene, the digital clock, the
# English calendar; Esc ends it with 0, which "/s" passes on.
if shoot "/s" "$T/s.png" wine Quessanta.exe /s && check_scene "/s" "$T/s.png" &&
   check_overlays "/s" "$T/s.png" digital english; then
  if [ -s "$T/err" ]; then fail "/s: stderr: $(tr -d '\r' <"$T/err")"; else
    ok "/s: the scene ($(identify -format %k "$T/s.png") colours), digital clock and calendar; Esc, exit 0 after $ended_ms ms"
  fi
fi

# --- "/c": returns at once and leaves the dialog; Cancel changes nothing
start=$(date +%s%N)
timeout 60 wine Quessanta.exe /c >"$T/out" 2>"$T/err"
rc=$?
took=$(( ($(date +%s%N) - start) / 1000000 ))
[ "$rc" -eq 0 ] && [ "$took" -lt 8000 ] && ok "/c: returned in $took ms" || fail "/c: exit $rc after $took ms"
if window_shown "Quessanta Settings"; then
  ok "/c: the settings dialog opened"
  import -window root "$T/dialog.png"
  [ -n "$KEEP_SHOTS" ] && cp "$T/dialog.png" "$KEEP_SHOTS"/
  # Space ticks the first control (the counter); Esc is Cancel.
  focus_window "Quessanta Settings"
  xdotool key space Escape
  if window_gone "Quessanta Settings"; then
    [ -e "$SETTINGS" ] && fail "dialog Cancel wrote $(settings_hex)" || ok "dialog Cancel: no settings file"
  else
    fail "dialog: Esc did not close it"
  fi
else
  fail "/c: no window titled Quessanta Settings"
fi
# "/c:HWND": the dialog belongs to that window, centred over it; a second
# "/c" brings it to the front instead of opening another.
timeout 90 wine "$HELPERS/host_window.exe" --settings Quessanta.exe >"$T/out" 2>&1
out=$(tr -d '\r' <"$T/out")
grep -qx "dialog owner=host centred=yes dialogs=1" <<<"$out" &&
  ok "/c:HWND: the dialog is owned by the window and centred over it; a second /c opens no other" ||
  fail "/c:HWND: $out"
window_gone "^Quessanta Settings$" || fail "/c:HWND: the dialog stayed after Cancel"

# --- A settings round trip: config.exe writes the 20-byte file in
# ProgramData; its dialog shows it and saves a change with OK; the
# screensaver shows it.
timeout 60 wine config.exe --clock=analog --calendar=russian >"$T/out" 2>"$T/err"
rc=$?
want=0100000000000000000000000000010100010101
[ "$rc" -eq 0 ] && [ "$(settings_hex)" = "$want" ] &&
  grep -q '^Saved C:\\ProgramData\\Zandrim_Quessanta_cfg' "$T/out" &&
  ok "config.exe --clock=analog --calendar=russian: C:\\ProgramData\\Zandrim_Quessanta_cfg holds $want" ||
  fail "config.exe: exit $rc, file '$(settings_hex)', $(tr -d '\r' <"$T/out" "$T/err")"

timeout 120 wine config.exe >"$T/out" 2>"$T/err" &
pid=$!
if window_shown "Quessanta Settings"; then
  # The counter ticked, the rest as the file has it; Enter is OK.
  focus_window "Quessanta Settings"
  xdotool key space Return
  for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
  wait "$pid"
  rc=$?
  want=0100000000000000000000000001010100010101
  [ "$rc" -eq 0 ] && [ "$(settings_hex)" = "$want" ] && ok "dialog OK: saved $want" ||
    fail "dialog OK: exit $rc, file '$(settings_hex)', expected $want"
else
  fail "config.exe without arguments: no dialog"
  kill "$pid"
fi
for f in "$SETTINGS".*; do [ -e "$f" ] && fail "a temporary file was left: $f"; done

if shoot "analogue clock" "$T/analog.png" wine Quessanta.exe && check_scene "analogue clock" "$T/analog.png" &&
   check_overlays "analogue clock" "$T/analog.png" analog russian; then
  ok "the saved settings on screen: analogue clock, Russian calendar"
fi

# --- Exit on mouse motion: the grace counts from the first frame and only
# real movement ends it, so the scene still shows 12 s after the start,
# and a 50 px move after that ends it.
timeout 60 wine config.exe --exit-on-mouse=on >/dev/null 2>&1
timeout 120 wine Quessanta.exe /s >"$T/out" 2>"$T/err" &
pid=$!
sleep 12
if kill -0 "$pid" 2>/dev/null; then
  import -window root "$T/mouse.png"
  if check_scene "exit on mouse motion" "$T/mouse.png"; then
    xdotool mousemove_relative 50 0
    for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$pid" 2>/dev/null; then
      fail "exit on mouse motion: a 50 px move did not end it"
      xdotool key Escape
    else
      wait "$pid" && ok "exit on mouse motion: the scene at 12 s, a 50 px move ends it with 0" ||
        fail "exit on mouse motion: exit $?"
    fi
  fi
else
  wait "$pid"
  fail "exit on mouse motion: ended by itself within 12 s (exit $?)"
fi
wait "$pid" 2>/dev/null
timeout 60 wine config.exe --exit-on-mouse=off >/dev/null 2>&1

# --- A close request (taskkill without /F, Alt+F4, log-off) ends it as Esc does.
timeout 120 wine Quessanta.exe >"$T/out" 2>"$T/err" &
pid=$!
if window_shown "^Quessanta$" && sleep 4 && kill -0 "$pid" 2>/dev/null; then
  timeout 30 wine taskkill /IM Quessanta.exe >/dev/null 2>&1
  took=$(gone_after "$pid" 10000)
  if kill -0 "$pid" 2>/dev/null; then
    fail "close request: still running 10 s after it"
    xdotool key Escape
  else
    wait "$pid"
    rc=$?
    [ "$rc" -eq 0 ] && [ "$took" -le 3000 ] && ok "close request: ended in $took ms with 0" ||
      fail "close request: exit $rc after $took ms"
  fi
else
  fail "close request: no screensaver window"
fi
wait "$pid" 2>/dev/null

# --- Alt+F4 ends "/s" as Esc does: SDL 1.2 keeps Windows from turning it
# into a close request, so the program takes it as a key.
timeout 120 wine Quessanta.exe /s >"$T/out" 2>"$T/err" &
pid=$!
if window_shown "^Quessanta$" && sleep 4 && kill -0 "$pid" 2>/dev/null; then
  xdotool key alt+F4
  took=$(gone_after "$pid" 10000)
  if kill -0 "$pid" 2>/dev/null; then
    fail "Alt+F4: still running 10 s after it"
    xdotool key Escape
  else
    wait "$pid"
    rc=$?
    [ "$rc" -eq 0 ] && [ "$took" -le 3000 ] && ok "Alt+F4: /s ended in $took ms with 0" ||
      fail "Alt+F4: exit $rc after $took ms"
  fi
else
  fail "Alt+F4: no screensaver window"
fi
wait "$pid" 2>/dev/null

# --- The keyboard on one monitor, taken from another program's window.
wine "$HELPERS/marker_window.exe" 100 100 600 400 >/dev/null 2>&1 &
marker_pid=$!
window_shown '^Marker$' && sleep 1
focus_starts "one monitor" 1 400 300
kill "$marker_pid" 2>/dev/null
wait "$marker_pid" 2>/dev/null

# --- A resolution the monitor lacks (the Xvfb has only 1024x768): the
# picture fills the screen, never an 800x600 one in a corner of a black
# screen. Where Wine lists no such mode the desktop's size is used, which
# one line says; Wine 10 lists it and scales the mode to the screen.
timeout 60 wine config.exe --resolution=800x600 >/dev/null 2>&1
if shoot "800x600 asked" "$T/refused.png" wine Quessanta.exe /s && check_scene "800x600 asked" "$T/refused.png"; then
  top=$(convert "$T/refused.png" -crop 1024x160+0+0 +repage -format %k info:)
  right=$(convert "$T/refused.png" -crop 200x768+824+0 +repage -format %k info:)
  err=$(tr -d '\r' <"$T/err")
  if [ "$top" -ge 1000 ] && [ "$right" -ge 1000 ] &&
     { [ -z "$err" ] || [ "$err" = "Quessanta: the monitor has no 800x600 mode; using its own, 1024x768" ]; }; then
    ok "800x600 asked: the scene fills the screen (top $top, right $right colours); ${err:-a mode Wine offers}"
  else
    fail "800x600 asked: top $top, right $right colours, stderr '$err'"
  fi
fi
timeout 60 wine config.exe --resolution=desktop >/dev/null 2>&1

# --- Every fatal path shows its one line, starting with the program's
# name, in a message box titled Quessanta as well as on stderr (the
# full-screen window gone first), and exits once the box is closed.

# The box, looked for once the line is on stderr: before that the window of
# that name may be the full-screen one (1x1 while it opens, small while it
# goes), and a key sent there would not close the box.
message_box() {
  local wid width
  [ -s "$T/err" ] || return 0
  for wid in $(xdotool search --name '^Quessanta$' 2>/dev/null); do
    width=$(xdotool getwindowgeometry "$wid" 2>/dev/null | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
    [ -n "$width" ] && [ "$width" -lt 900 ] && echo "$wid"
  done | tail -n 1
}
fatal_box() {  # case, name, exit status, command...
  local what=$1 name=$2 want=$3 box= width rc err
  shift 3
  timeout 120 "$@" >"$T/out" 2>"$T/err" &
  local pid=$!
  for _ in $(seq 1 150); do
    box=$(message_box)
    [ -n "$box" ] && break
    sleep 0.2
  done
  if [ -z "$box" ]; then
    fail "$what: no message box titled Quessanta"
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return
  fi
  [ -n "$KEEP_SHOTS" ] && import -window root "$KEEP_SHOTS/message-box-${what// /-}.png"
  # Return on the focused box; where the focus went elsewhere (Wine 10 after
  # a full-screen window went away), a click on its OK button, the lowest
  # third of the box's middle.
  local try geometry x y h
  for try in 1 2 3 4 5; do
    xdotool getwindowname "$box" >/dev/null 2>&1 || box=$(message_box)
    xdotool windowfocus --sync "$box" 2>/dev/null
    sleep 0.5
    if [ "$try" -eq 1 ]; then
      xdotool key Return
    else
      geometry=$(xdotool getwindowgeometry "$box" 2>/dev/null)
      x=$(sed -n 's/.*Position: \([0-9]*\),.*/\1/p' <<<"$geometry")
      y=$(sed -n 's/.*Position: [0-9]*,\([0-9]*\).*/\1/p' <<<"$geometry")
      width=$(sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p' <<<"$geometry")
      h=$(sed -n 's/.*Geometry: [0-9]*x\([0-9]*\).*/\1/p' <<<"$geometry")
      [ -n "$x" ] && [ -n "$y" ] && [ -n "$width" ] && [ -n "$h" ] &&
        xdotool mousemove $((x + width / 2)) $((y + h - h / 6)) click 1
    fi
    for _ in $(seq 1 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null || break
  done
  if kill -0 "$pid" 2>/dev/null; then
    if xdotool getwindowname "$box" >/dev/null 2>&1; then
      fail "$what: the message box does not close ($(tr -d '\r' <"$T/err" | head -n1))"
    else
      fail "$what: the program does not end once its message box is closed"
    fi
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return
  fi
  wait "$pid"
  rc=$?
  err=$(tr -d '\r' <"$T/err")
  # A usage error adds its hint line.
  if [ "$rc" -eq "$want" ] && grep -q "^$name: ." <<<"$err" &&
     [ "$(wc -l <<<"$err")" -eq $([ "$want" -eq 2 ] && echo 2 || echo 1) ]; then
    ok "$what: a message box titled Quessanta, exit $rc: $(head -n1 <<<"$err")"
  else
    fail "$what: exit $rc (expected $want), stderr '$err'"
  fi
}
mkdir -p "$T/broken" "$T/lonely" && cp "$INST"/Quessanta.exe "$INST"/*.pak "$INST"/preview.ppk "$T/broken/"
: >"$T/broken/main.pak"
cp "$INST/Quessanta.scr" "$T/lonely/"
: >"$T/a-file"
fatal_box "empty main.pak" Quessanta 1 wine "$T/broken/Quessanta.exe"
fatal_box "bad option" Quessanta 2 wine "$INST/Quessanta.exe" --clock=25h
fatal_box "/s without the screensaver program" Quessanta 1 env QUESSANTA_PATH="$(winepath -w "$T/lonely")" \
  wine "$T/lonely/Quessanta.scr" /s
fatal_box "/c without the settings program" Quessanta 1 env QUESSANTA_PATH="$(winepath -w "$T/lonely")" \
  wine "$T/lonely/Quessanta.scr" /c
fatal_box "config without a settings folder" config 1 env QUESSANTA_COMMON_APPDATA="$(winepath -w "$T/a-file")\\sub" \
  wine "$INST/config.exe" --fps=on

# --- Images the Windows decoder cannot take: one line each, and the scene
# goes on without them. The counter's label becomes a PNG whose compressed
# data is damaged (every chunk checksum right, so only libpng sees it) and
# its digits JPEGs; pak.exe rebuilds the pack.
mkdir -p "$T/bad/parts" && cp "$INST"/Quessanta.exe "$INST"/*.pak "$INST"/preview.ppk "$T/bad/"
(cd "$T/bad" && timeout 60 wine "$INST/pak.exe" extract utils.pak parts/) >"$T/out" 2>&1 ||
  fail "pak.exe extract: $(tr -d '\r' <"$T/out")"
python3 - "$T/bad/parts/fps.png" <<'EOF'
import struct, sys, zlib
path = sys.argv[1]
data = bytearray(open(path, 'rb').read())
pos = 8
while pos < len(data):
    length, kind = struct.unpack('>I4s', data[pos:pos + 8])
    if kind == b'IDAT':
        data[pos + 9] ^= 0x01  # the zlib header's check bits no longer fit
        crc = zlib.crc32(bytes(data[pos + 4:pos + 8 + length]))
        data[pos + 8 + length:pos + 12 + length] = struct.pack('>I', crc)
        break
    pos += 12 + length
open(path, 'wb').write(data)
EOF
convert -size 24x32 xc:orange "$T/digit.jpg"
for d in 0 1 2 3 4 5 6 7 8 9; do cp "$T/digit.jpg" "$T/bad/parts/fps$d.png"; done
names=$(tr -d '\r' <<<"$(wine "$INST/pak.exe" list "$INST/utils.pak")" | cut -f2)
(cd "$T/bad/parts" && timeout 60 wine "$INST/pak.exe" create ../utils.pak $names) >"$T/out" 2>&1 ||
  fail "pak.exe create: $(tr -d '\r' <"$T/out")"
[ "$(wine "$INST/pak.exe" list "$T/bad/utils.pak" | wc -l)" -eq "$(wc -w <<<"$names")" ] ||
  fail "pak.exe: the rebuilt pack does not list $(wc -w <<<"$names") entries"
if shoot "refused images" "$T/bad.png" wine "$T/bad/Quessanta.exe" --fps && check_scene "refused images" "$T/bad.png"; then
  err=$(tr -d '\r' <"$T/err")
  if grep -q 'utils.pak: fps.png: not used as an image: cannot decode: .' <<<"$err" &&
     grep -q 'utils.pak: fps[0-9].png: not used as an image: cannot decode: JPEG images are not supported in this build$' <<<"$err"; then
    ok "refused images: one line each ($(grep -m1 'fps.png' <<<"$err" | sed 's/.*cannot decode: //')), the scene goes on"
  else
    fail "refused images: stderr '$err'"
  fi
fi

# --- The installer, silent: Program Files, the registry, the system folder
timeout 120 wine "$WIN/QuessantaSetup.exe" /S >"$T/out" 2>&1
rc=$?
missing=
for f in Quessanta.exe config.exe pak.exe $DATA; do cmp -s "$INST/$f" "$PROGRAMS/$f" || missing="$missing $f"; done
cmp -s "$INST/Quessanta.scr" "$DRIVE_C/windows/system32/Quessanta.scr" || missing="$missing system32/Quessanta.scr"
cmp -s "$WIN/uninstall.exe" "$PROGRAMS/uninstall.exe" || missing="$missing uninstall.exe"
path=$(wine reg query 'HKLM\Software\Zandrim\Quessanta\Settings' /v Path 2>/dev/null | tr -d '\r' | grep -E '^ +Path')
uninstall=$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quessanta' /v UninstallString 2>/dev/null | tr -d '\r')
if [ "$rc" -eq 0 ] && [ -z "$missing" ] && grep -qF 'REG_SZ    C:\Program Files\Zandrim\Quessanta\' <<<"$path" &&
   grep -qF 'uninstall.exe' <<<"$uninstall"; then
  ok "QuessantaSetup.exe /S: Program Files, system32\\Quessanta.scr, Path = C:\\Program Files\\Zandrim\\Quessanta\\, uninstall entry"
else
  fail "QuessantaSetup.exe /S: exit $rc, missing:$missing, Path '$path', uninstall '$uninstall'"
fi
# The Start menu for every user: the settings and the uninstaller, each
# shortcut naming its program.
MENU="$DRIVE_C/ProgramData/Microsoft/Windows/Start Menu/Programs/Quessanta"
settings_link=$(strings -el "$MENU/Quessanta Settings.lnk" 2>/dev/null; strings "$MENU/Quessanta Settings.lnk" 2>/dev/null)
uninstall_link=$(strings -el "$MENU/Uninstall Quessanta.lnk" 2>/dev/null; strings "$MENU/Uninstall Quessanta.lnk" 2>/dev/null)
if grep -qi 'Zandrim\\Quessanta\\config\.exe' <<<"$settings_link" &&
   grep -qi 'Zandrim\\Quessanta\\uninstall\.exe' <<<"$uninstall_link" && [ "$(ls "$MENU" | wc -l)" -eq 2 ]; then
  ok "Start menu: Quessanta\\Quessanta Settings (config.exe) and Uninstall Quessanta (uninstall.exe)"
else
  fail "Start menu: $(ls "$MENU" 2>&1 | tr '\n' ' ')"
fi

# The system folder's .scr finds the installation through the registry.
cd "$T" || exit 1
if shoot "installed /s" "$T/installed.png" wine 'C:\windows\system32\Quessanta.scr' /s &&
   check_scene "installed /s" "$T/installed.png" && check_overlays "installed /s" "$T/installed.png" analog russian; then
  ok "C:\\windows\\system32\\Quessanta.scr /s: the scene with the saved settings"
fi

# --- Installed again into a folder named in Cyrillic and Chinese: the copy
# in Program Files goes, the registry names the new folder, and "/s" and
# "/c" work from there. Killing the .scr (as Windows does at log-off) takes
# the screensaver it started with it.
NONLATIN='C:\Программы\屏幕保护 Quessanta'
NONLATIN_UNIX="$DRIVE_C/Программы/屏幕保护 Quessanta"
# /D= takes the rest of the command line unquoted: the folder's words go as
# separate arguments, which Wine joins with single spaces.
# shellcheck disable=SC2086
timeout 120 wine "$WIN/QuessantaSetup.exe" /S /D=$NONLATIN >"$T/out" 2>&1
rc=$?
# reg query writes through the console's code page: the value is read from
# an export, which is UTF-16 (and doubles each backslash).
rm -f "$T/path.reg"
(cd "$T" && wine reg export 'HKLM\Software\Zandrim\Quessanta\Settings' path.reg /y >/dev/null 2>&1)
path=$(iconv -f UTF-16 -t UTF-8 "$T/path.reg" 2>/dev/null | tr -d '\r' | grep '^"Path"=')
if [ "$rc" -eq 0 ] && [ -f "$NONLATIN_UNIX/Quessanta.exe" ] && [ -f "$NONLATIN_UNIX/uninstall.exe" ] &&
   [ ! -e "$PROGRAMS" ] && [ "$path" = "\"Path\"=\"${NONLATIN//\\/\\\\}\\\\\"" ]; then
  ok "installed again into $NONLATIN: Path names it, Program Files\\Zandrim is gone"
else
  fail "install into $NONLATIN: exit $rc, Path '$path', $(ls "$NONLATIN_UNIX" 2>&1 | tr '\n' ' '), Program Files: $(ls "$PROGRAMS" 2>&1 | tr '\n' ' ')"
fi
timeout 120 wine 'C:\windows\system32\Quessanta.scr' /s >"$T/out" 2>"$T/err" &
pid=$!
sleep 9
if kill -0 "$pid" 2>/dev/null; then
  import -window root "$T/nonlatin.png"
  check_scene "/s from $NONLATIN" "$T/nonlatin.png" && ok "/s from $NONLATIN: the scene"
  timeout 30 wine taskkill /F /IM Quessanta.scr >/dev/null 2>&1
  for _ in $(seq 1 100); do saver_left || break; sleep 0.1; done
  if saver_left; then
    fail "taskkill /F of Quessanta.scr: Quessanta.exe runs on"
    xdotool key Escape
  else
    ok "taskkill /F of Quessanta.scr: no Quessanta.exe left"
  fi
else
  wait "$pid"
  fail "/s from $NONLATIN: ended at once (exit $?): $(tr -d '\r' <"$T/err")"
fi
wait "$pid" 2>/dev/null
timeout 60 wine 'C:\windows\system32\Quessanta.scr' /c >"$T/out" 2>"$T/err"
if window_shown "^Quessanta Settings$"; then
  ok "/c from $NONLATIN: the settings dialog"
  focus_window "^Quessanta Settings$"
  xdotool key Escape
  window_gone "^Quessanta Settings$" || fail "/c from $NONLATIN: Esc did not close the dialog"
else
  fail "/c from $NONLATIN: no dialog: $(tr -d '\r' <"$T/err")"
fi

# --- The uninstaller copies itself away and returns at once: waits for
# its work to show.
timeout 60 wine "$NONLATIN\\uninstall.exe" /S >"$T/out" 2>&1
for _ in $(seq 1 150); do
  [ -e "$NONLATIN_UNIX" ] || [ -e "$DRIVE_C/windows/system32/Quessanta.scr" ] || break
  sleep 0.2
done
left=
[ -e "$DRIVE_C/Program Files/Zandrim" ] && left="$left Program Files\\Zandrim"
[ -e "$NONLATIN_UNIX" ] && left="$left $NONLATIN"
[ -e "$DRIVE_C/windows/system32/Quessanta.scr" ] && left="$left system32\\Quessanta.scr"
[ -e "$MENU" ] && left="$left the Start menu's $(ls "$MENU" | tr '\n' ',')"
wine reg query 'HKLM\Software\Zandrim' >/dev/null 2>&1 && left="$left HKLM\\Software\\Zandrim"
wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quessanta' >/dev/null 2>&1 &&
  left="$left the uninstall entry"
if [ -z "$left" ] && [ -f "$SETTINGS" ]; then
  ok "uninstall.exe /S: everything installed is gone, the settings file stays"
else
  fail "uninstall.exe /S: left$left; settings file $([ -f "$SETTINGS" ] && echo kept || echo removed)"
fi

# --- Two monitors: "/s" starts one screensaver per monitor, each drawing
# the whole scene at its monitor's size, over every other window; Esc,
# Alt+F4 or a close request on either ends both.
AREAS="1024x768+0+0 800x600+1024+0"
# Pixels of the marker window's magenta in an area of a screenshot.
magenta() {  # png area
  convert "$1" -crop "$2" +repage -depth 8 rgb:- | python3 -c '
import sys
d = sys.stdin.buffer.read()
print(sum(1 for i in range(0, len(d) - 2, 3) if d[i] == 255 and d[i + 1] == 0 and d[i + 2] == 255))'
}
if start_wine_on_two_monitors; then
  cd "$INST" || exit 1
  timeout 60 wine config.exe --clock=24h --calendar=english --fps=off --exit-on-mouse=off >/dev/null 2>&1
  # Another program's window on the second monitor, holding the keyboard
  # and with the pointer over it, as a user's would when the saver starts.
  wine "$HELPERS/marker_window.exe" 1124 100 600 400 >"$T/monitors" 2>/dev/null &
  marker_pid=$!
  sleep 5
  reported=$(tr -d '\r' <"$T/monitors" | sed -n 's/^monitor //p' | tr '\n' ' ')
  if ! grep -qw '0,0,1024x768' <<<"$reported" || ! grep -qw '1024,0,800x600' <<<"$reported"; then
    fail "two monitors: Wine reports the monitors $reported, not the X server's two side by side"
  else
    marker=$(xdotool search --name '^Marker$' 2>/dev/null | head -1)
    give_marker_the_keyboard() {
      xdotool mousemove 1400 300
      [ -n "$marker" ] && xdotool windowfocus "$marker" 2>/dev/null
    }
    give_marker_the_keyboard
    import -window root "$T/marker.png"
    before=$(magenta "$T/marker.png" 1824x768+0+0)
    [ "$before" -gt 100000 ] || fail "two monitors: the marker window shows $before magenta pixels"

    timeout 120 wine Quessanta.scr /s >"$T/out" 2>"$T/err" &
    pid=$!
    if both_shown; then
      import -window root "$T/two.png"
      [ -n "$KEEP_SHOTS" ] && cp "$T/two.png" "$KEEP_SHOTS"/
      figures=
      bad=
      for area in $AREAS; do
        colours=$(convert "$T/two.png" -crop "$area" +repage -format %k info:)
        left=$(magenta "$T/two.png" "$area")
        figures="$figures $area: $colours colours, $left magenta;"
        [ "$colours" -ge 1000 ] && [ "$left" -eq 0 ] || bad=yes
      done
      # The calendar's blue header in each top right corner, at each size.
      first=$(shares "$T/two.png" 784 8 232 40)
      second=$(shares "$T/two.png" 1636 6 181 31)
      [ "$(share "$first" blue)" -ge 60 ] && [ "$(share "$second" blue)" -ge 60 ] || bad=yes
      [ -z "$bad" ] && ok "two monitors: the scene and the calendar on both,$figures" ||
        fail "two monitors:$figures calendar headers '$first' and '$second'"
      xdotool key Escape
      took=$(gone_after "$pid" 10000)
      if kill -0 "$pid" 2>/dev/null; then
        fail "two monitors: Esc did not end /s"
      else
        wait "$pid"
        rc=$?
        sleep 1
        if [ "$rc" -eq 0 ] && ! saver_left; then
          ok "two monitors: Esc ends both, /s exit 0 after $took ms"
        else
          fail "two monitors: /s exit $rc after Esc; Quessanta.exe left: $(saver_left && echo yes || echo no)"
        fi
      fi
    else
      fail "two monitors: not two screensaver windows: $(tr -d '\r' <"$T/err")"
    fi
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null

    give_marker_the_keyboard
    timeout 120 wine Quessanta.scr /s >"$T/out" 2>"$T/err" &
    pid=$!
    if both_shown; then
      xdotool key alt+F4
      took=$(gone_after "$pid" 10000)
      wait "$pid"
      rc=$?
      [ "$rc" -eq 0 ] && [ "$took" -le 3000 ] && ok "two monitors: Alt+F4 ends both, exit 0 after $took ms" ||
        fail "two monitors: Alt+F4: exit $rc after $took ms"
    else
      fail "two monitors: Alt+F4: not two screensaver windows"
    fi
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null

    focus_starts "two monitors" 2 1400 300

    timeout 120 wine Quessanta.scr /s >"$T/out" 2>"$T/err" &
    pid=$!
    if both_shown; then
      timeout 30 wine taskkill /F /IM Quessanta.scr >/dev/null 2>&1
      for _ in $(seq 1 100); do saver_left || break; sleep 0.1; done
      saver_left && fail "two monitors: taskkill /F of Quessanta.scr leaves Quessanta.exe running" ||
        ok "two monitors: taskkill /F of Quessanta.scr leaves no Quessanta.exe"
    else
      fail "two monitors: taskkill: not two screensaver windows"
    fi
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  fi
  kill "$marker_pid" 2>/dev/null
  wait "$marker_pid" 2>/dev/null
else
  fail "two monitors: no X server with two monitors"
fi

summary
[ "$failed" -eq 0 ]

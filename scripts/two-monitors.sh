# Sourced: starts a private X server with two monitors side by side,
# 1024x768 at 0,0 (the primary) and 800x600 at 1024,0, on a 1824x768
# screen, and exports DISPLAY; stop it with stop_two_monitors. Needs
# xserver-xorg-core, xserver-xorg-video-dummy and x11-xserver-utils.
#
# The server is Xorg with the dummy video driver: its RandR has an output
# and a CRTC per monitor, which Wine reads as monitors at their own places
# (Wine 8 and 10 alike). Xinerama alone is not enough: Wine 10 then places
# every monitor at the primary's, and after a full-screen mode change it
# moves them apart by its own rule, not the X server's. No input device is
# read (the tests type through XTEST) and no virtual terminal is taken, so
# it runs as root or not, with no display and no terminal.
TWO_MONITORS_PID=
start_two_monitors() {
  local dir fifo n
  dir=$(mktemp -d /tmp/quessanta-xorg-XXXXXX)
  cat >"$dir/xorg.conf" <<'EOF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoAddGPU" "false"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 65536
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 1824 768
  EndSubSection
EndSection
EOF
  fifo=$dir/displayfd
  mkfifo "$fifo"
  # -displayfd: a free display number, as for the Xvfb; -noreset: see
  # xvfb.sh. The server's log stays in the folder (removed when it stops).
  /usr/lib/xorg/Xorg -displayfd 3 -config "$dir/xorg.conf" -logfile "$dir/xorg.log" -noreset -nolisten tcp \
    -novtswitch -sharevts 3>"$fifo" >"$dir/out" 2>&1 &
  TWO_MONITORS_PID=$!
  TWO_MONITORS_DIR=$dir
  n=$(timeout 30 head -n1 "$fifo" || true)
  if [ -z "$n" ] || ! xdpyinfo -display ":$n" >/dev/null 2>&1; then
    echo "Cannot start Xorg with the dummy driver: $(tail -n 3 "$dir/out" | tr '\n' ' ')" >&2
    stop_two_monitors
    return 1
  fi
  export DISPLAY=":$n"
  # The second output is switched on at its place (its mode added first:
  # a disconnected output lists none). The query after it makes the server
  # probe its outputs, and only then does it report the second one
  # connected; Wine reads the outputs without probing them.
  xrandr --addmode DUMMY1 800x600 2>/dev/null
  xrandr --output DUMMY0 --mode 1024x768 --pos 0x0 --primary --output DUMMY1 --mode 800x600 --pos 1024x0 >&2
  xrandr --query >/dev/null 2>&1
  if ! [ "$(xrandr --listmonitors 2>/dev/null | grep -cE ' (1024/[0-9]+x768/[0-9]+\+0\+0|800/[0-9]+x600/[0-9]+\+1024\+0) ')" -eq 2 ]; then
    echo "Xorg's dummy driver did not take two monitors: $(xrandr --listmonitors 2>&1 | tr '\n' ' ')" >&2
    stop_two_monitors
    return 1
  fi
  return 0
}
stop_two_monitors() {
  if [ -n "$TWO_MONITORS_PID" ]; then
    kill "$TWO_MONITORS_PID" 2>/dev/null
    wait "$TWO_MONITORS_PID" 2>/dev/null
    TWO_MONITORS_PID=
  fi
  [ -n "${TWO_MONITORS_DIR:-}" ] && rm -rf "$TWO_MONITORS_DIR"
  TWO_MONITORS_DIR=
}

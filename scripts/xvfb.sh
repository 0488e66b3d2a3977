# Sourced: starts a private Xvfb (screen XVFB_SCREEN, default 1024x768x24)
# and exports DISPLAY; stop it with stop_xvfb.
start_xvfb() {
  local fifo n
  fifo=$(mktemp -u /tmp/quessanta-xvfb-XXXXXX)
  mkfifo "$fifo"
  # -displayfd: the server picks a free display number itself, so two runs
  # started at once never share one. -noreset: by default the server resets
  # whenever its last client disconnects, and a client connecting during the
  # reset fails with "Couldn't open X11 display".
  Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1024x768x24}" -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  n=$(timeout 20 head -n1 "$fifo" || true)
  rm -f "$fifo"
  if [ -n "$n" ] && xdpyinfo -display ":$n" >/dev/null 2>&1; then
    export DISPLAY=":$n"
    return 0
  fi
  kill "$XVFB_PID" 2>/dev/null || true
  echo "Cannot start Xvfb" >&2
  return 1
}
stop_xvfb() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
  fi
}

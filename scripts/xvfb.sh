# Sourced: starts a private Xvfb and exports DISPLAY; stop it with stop_xvfb.
start_xvfb() {
  local n
  for n in $(seq 91 140); do
    if [ ! -e "/tmp/.X${n}-lock" ] && [ ! -e "/tmp/.X11-unix/X${n}" ]; then
      # -noreset: by default the server resets whenever its last client
      # disconnects, and a client connecting during the reset fails with
      # "Couldn't open X11 display".
      Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
      XVFB_PID=$!
      for _ in $(seq 1 100); do
        if xdpyinfo -display ":$n" >/dev/null 2>&1; then
          export DISPLAY=":$n"
          return 0
        fi
        if ! kill -0 "$XVFB_PID" 2>/dev/null; then break; fi
        sleep 0.1
      done
      kill "$XVFB_PID" 2>/dev/null || true
    fi
  done
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

# Sourced by the script tests that start programs: a temporary folder T,
# fail() counting into $failures, now_ms, wait_end and term_promptly; at
# exit every job the script left is killed, its private X server
# (start_xvfb) stopped and T removed. A test with more to undo sets
# cleanup_more.
T="$(mktemp -d "/tmp/quessanta-${TEST_NAME:-test}-XXXXXX")"
source "${QUESSANTA_SOURCE_DIR:?}/scripts/xvfb.sh"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
# Waits up to $2 seconds for process $1 to end; its exit code, or 255 (after
# killing it) when it still runs.
wait_end() {
  local pid=$1 limit=$(( $2 * 20 )) i
  for ((i = 0; i < limit; i++)); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
  if kill -0 "$pid" 2>/dev/null; then kill -KILL "$pid"; wait "$pid" 2>/dev/null; return 255; fi
  wait "$pid"
}
# Sends SIGTERM (or the signal $3 names) to process $1: it must end with
# exit 0 within half a second ($2 names the case in the messages); a
# sanitizer build, which runs several times slower, within three times that.
TERM_LIMIT_MS=500
if grep -q libasan <<<"$(ldd "${QUESSANTA_BIN:-/nonexistent}/Quessanta" 2>/dev/null)"; then TERM_LIMIT_MS=1500; fi
term_promptly() {
  local pid=$1 what=$2 signal=${3:-TERM} start rc took
  start=$(now_ms)
  kill -"$signal" "$pid"
  wait_end "$pid" 5; rc=$?
  took=$(( $(now_ms) - start ))
  [ $rc -eq 0 ] || fail "$what: SIG$signal gave exit $rc"
  [ $took -le $TERM_LIMIT_MS ] || fail "$what: SIG$signal took $took ms"
  echo "$what: SIG$signal to exit in $took ms"
}
cleanup_more() { :; }
script_cleanup() {
  cleanup_more
  jobs -p | xargs -r kill -KILL 2>/dev/null
  stop_xvfb
  chmod -R u+w "$T" 2>/dev/null
  rm -rf "$T"
}
trap script_cleanup EXIT

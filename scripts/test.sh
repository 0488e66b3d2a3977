#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in the normal
# build, once with AddressSanitizer and UndefinedBehaviorSanitizer, then the
# fuzz targets for a bounded time, then the Windows build under Wine, then
# the Debian package, installed on this machine and tried under each
# screensaver host (scripts/deb-check.sh). Ends with one summary line.
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
started=$SECONDS
bash scripts/deps.sh test || exit 1
echo "test.sh: installs took $((SECONDS - started)) s"
JOBS="$(nproc)"
FUZZ_SECONDS="${QUESSANTA_FUZZ_SECONDS:-20}"
# The stages to run, all by default; CI's second Debian release runs only
# the normal build's tests.
STAGES=" ${QUESSANTA_TEST_STAGES:-normal sanitizer fuzz windows package} "
stage_wanted() { [[ "$STAGES" == *" $1 "* ]]; }

# Some tests run programs as an unprivileged user (XScreenSaver refuses to
# run as root). A root folder that only root may enter, as in a freshly
# unpacked system image, would stop every such program before it starts.
if [ "$(id -u)" -eq 0 ] && ! setpriv --reuid=65534 --regid=65534 --clear-groups true 2>/dev/null; then
  echo "test.sh: unprivileged users cannot enter / (mode $(stat -c %a /)); letting them"
  chmod o+rx /
fi

source scripts/xvfb.sh
start_xvfb || exit 1
trap stop_xvfb EXIT
export SDL_VIDEODRIVER=x11
# Tests never touch the user's own settings.
export QUESSANTA_COMMON_APPDATA="$(mktemp -d /tmp/quessanta-appdata-XXXXXX)"

passed=0
failed=0
count_ctest() {  # adds the counts from a ctest log
  local log=$1 line total nfail
  line=$(grep -E "tests passed, [0-9]+ tests? failed out of [0-9]+" "$log" | tail -1)
  if [ -z "$line" ]; then failed=$((failed + 1)); return; fi
  nfail=$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/')
  total=$(echo "$line" | sed -E 's/.*out of ([0-9]+).*/\1/')
  passed=$((passed + total - nfail))
  failed=$((failed + nfail))
}

stage=$SECONDS
lap() { echo "test.sh: $1 took $((SECONDS - stage)) s"; stage=$SECONDS; }

normal_stage() {
  echo "== normal build"
  if cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo \
       -DQUESSANTA_TESTS=ON -DQUESSANTA_BENCH=ON -DQUESSANTA_TOOLS=ON >/dev/null && cmake --build build -j"$JOBS"; then
    lap "the normal build"
    (cd build && ctest --output-on-failure -j"$JOBS") 2>&1 | tee build/ctest.log
    count_ctest build/ctest.log
    # What the pictures of each multisampling choice held, for the record.
    sed -n 's/^\(auto\|on\|off\), \(full screen\|host window\): \([0-9]* colours\)$/pictures: &/p' \
      build/Testing/Temporary/LastTest.log
    lap "the normal tests"
  else
    echo "normal build failed"; failed=$((failed + 1))
  fi
}

sanitizer_stage() {
  echo "== sanitizer build (AddressSanitizer, UndefinedBehaviorSanitizer)"
  # intercept_tls_get_addr=0: this runtime guesses the size of each thread's
  # dynamic TLS blocks (those of the OpenGL driver's libraries) from an old
  # C library's layout; on a block that happens to start 16 bytes into a page
  # it reads a wrong range, and the exit-time leak check crashes scanning it.
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1:intercept_tls_get_addr=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  export LSAN_OPTIONS="suppressions=$ROOT/tests/lsan.supp:print_suppressions=0"
  if cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DQUESSANTA_SANITIZE=ON -DQUESSANTA_BENCH=OFF >/dev/null &&
     cmake --build build-asan -j"$JOBS"; then
    lap "the sanitizer build"
    (cd build-asan && ctest --output-on-failure -j"$JOBS") 2>&1 | tee build-asan/ctest.log
    count_ctest build-asan/ctest.log
    # The leak checker's own thread tracer now and then crashes at exit
    # ("LeakSanitizer has encountered a fatal error"): that is no finding
    # about the program, so such tests run once more. A leak it reports
    # ("detected memory leaks") still fails.
    if grep -q "LeakSanitizer has encountered a fatal error" build-asan/ctest.log; then
      first_failed=$(grep -E "tests passed, [0-9]+ tests? failed" build-asan/ctest.log | tail -1 |
        sed -E 's/.* ([0-9]+) tests? failed.*/\1/')
      echo "the leak checker crashed in a test; running the failed tests once more"
      (cd build-asan && ctest --rerun-failed --output-on-failure) 2>&1 | tee build-asan/ctest-rerun.log
      failed=$((failed - first_failed))
      count_ctest build-asan/ctest-rerun.log
    fi
    lap "the sanitizer tests"
  else
    echo "sanitizer build failed"; failed=$((failed + 1))
  fi
}

fuzz_stage() {
  echo "== fuzz targets (${FUZZ_SECONDS}s each)"
  if CXX=clang++ CC=clang cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=Debug -DQUESSANTA_FUZZ=ON \
       -DQUESSANTA_TESTS=OFF -DQUESSANTA_BENCH=OFF -DQUESSANTA_TOOLS=OFF >/dev/null &&
     cmake --build build-fuzz -j"$JOBS"; then
    for fuzzer in build-fuzz/fuzz/*_fuzz; do
      [ -x "$fuzzer" ] || continue
      name=$(basename "$fuzzer")
      corpus="build-fuzz/corpus-$name"
      mkdir -p "$corpus"
      seeds="fuzz/seeds/${name%_fuzz}"
      [ -d "$seeds" ] && cp -n "$seeds"/* "$corpus"/ 2>/dev/null
      if "$fuzzer" -max_total_time="$FUZZ_SECONDS" -rss_limit_mb=2048 "$corpus" >"build-fuzz/$name.log" 2>&1; then
        echo "fuzz $name: ok ($(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "build-fuzz/$name.log") runs)"
        passed=$((passed + 1))
      else
        echo "fuzz $name: FAILED"; tail -40 "build-fuzz/$name.log"
        failed=$((failed + 1))
      fi
    done
  else
    echo "fuzz build failed"; failed=$((failed + 1))
  fi
  lap "the fuzz build and runs"
}

windows_stage() {
  echo "== Windows build under Wine"
  # Cross-built with MinGW-w64, then run under Wine on an Xvfb and in a Wine
  # prefix of their own; the counts come from the summary line.
  if bash scripts/windows-deps.sh >/dev/null && lap "the Windows dependencies" && bash scripts/windows-build.sh; then
    lap "the Windows build"
    bash tests/windows_test.sh build-win 2>&1 | tee build-win/windows-test.log
    line=$(grep -E "^windows tests: [0-9]+ passed, [0-9]+ failed$" build-win/windows-test.log | tail -1)
    if [ -n "$line" ]; then
      passed=$((passed + $(echo "$line" | sed -E 's/.*: ([0-9]+) passed.*/\1/')))
      failed=$((failed + $(echo "$line" | sed -E 's/.*, ([0-9]+) failed/\1/')))
    else
      echo "the Windows tests ended early"; failed=$((failed + 1))
    fi
    lap "the Windows tests"
  else
    echo "Windows build failed"; failed=$((failed + 1))
  fi
}

package_stage() {
  echo "== the Debian package, installed and tried under each screensaver host"
  # It installs packages: as root, through sudo for a normal user.
  local as_root=() log
  if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
    [ -t 0 ] || as_root+=(-n)
  fi
  log=$(mktemp /tmp/quessanta-deb-check-XXXXXX)
  "${as_root[@]}" bash scripts/deb-check.sh 2>&1 | tee "$log"
  line=$(grep -E "^deb-check: [0-9]+ passed, [0-9]+ failed$" "$log" | tail -1)
  if [ -n "$line" ]; then
    passed=$((passed + $(echo "$line" | sed -E 's/.*: ([0-9]+) passed.*/\1/')))
    failed=$((failed + $(echo "$line" | sed -E 's/.*, ([0-9]+) failed/\1/')))
  else
    echo "the package check ended early"; failed=$((failed + 1))
  fi
  rm -f "$log"
  lap "the package check"
}

for s in normal sanitizer fuzz windows package; do
  stage_wanted "$s" && "${s}_stage"
done
rm -rf "$QUESSANTA_COMMON_APPDATA"
echo "test.sh: took $((SECONDS - started)) s in all"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

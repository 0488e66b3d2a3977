#!/usr/bin/env bash
# The artwork generator makes the same bytes on every run, the same as the
# installation the build wrote, and does it well within its time budget.
set -u
ARTGEN="${QUESSANTA_BINARY_DIR:?}/tools/artgen/artgen"
INSTALL="${QUESSANTA_BIN:?}"
WORK="$(mktemp -d /tmp/quessanta-artgen-XXXXXX)"
trap 'rm -rf "$WORK"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

[ -x "$ARTGEN" ] || { echo "FAIL: no generator at $ARTGEN"; exit 1; }
FILES="main.pak utils.pak butterfly1.pak butterfly2.pak butterfly3.pak butterfly4.pak butterfly5.pak
  clock.pak calendar.pak preview.ppk Quessanta.ico"

mkdir -p "$WORK/a" "$WORK/b"
start=$(date +%s%N)
"$ARTGEN" "$WORK/a" || fail "first run failed"
end=$(date +%s%N)
"$ARTGEN" "$WORK/b" || fail "second run failed"
ms=$(( (end - start) / 1000000 ))
echo "one run: ${ms} ms"
# The budget is 30 s on the build machine; sanitizer builds run slower.
limit=30000
[ -n "${ASAN_OPTIONS:-}" ] && limit=120000
[ "$ms" -lt "$limit" ] || fail "generation took ${ms} ms (limit ${limit} ms)"

for f in $FILES; do
  [ -s "$WORK/a/$f" ] || { fail "$f was not written"; continue; }
  cmp -s "$WORK/a/$f" "$WORK/b/$f" || fail "$f differs between two runs"
  if [ -f "$INSTALL/$f" ]; then
    cmp -s "$WORK/a/$f" "$INSTALL/$f" || fail "$f differs from the installed one (stale build?)"
  else
    fail "$f is missing from $INSTALL"
  fi
done
# Nothing else is written.
extra=$(ls "$WORK/a" | grep -v -x -F "$(echo $FILES | tr ' ' '\n')")
[ -z "$extra" ] || fail "unexpected files: $extra"
# An unwritable destination is an error, not a silent success.
"$ARTGEN" "$WORK/missing/dir" >/dev/null 2>&1 && fail "writing into a missing directory succeeds"

[ "$failures" -eq 0 ] && echo "artwork reproducible: ok"
[ "$failures" -eq 0 ]

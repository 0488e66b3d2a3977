#!/usr/bin/env bash
# Usage: result_check.sh BUILD_DIR. With the project's compile flags, a file
# that drops a Result does not compile (the unused-result diagnostic), and
# the same file using it does.
set -u
build=${1:?usage: result_check.sh BUILD_DIR}
if ! out=$(cmake --build "$build" --target used_result_check 2>&1); then
  echo "FAIL: the file that uses its Result does not compile:"; echo "$out"; exit 1
fi
if out=$(cmake --build "$build" --target ignored_result_check 2>&1); then
  echo "FAIL: a dropped Result compiles"; exit 1
fi
grep -q 'unused-result' <<<"$out" || { echo "FAIL: the build failed for another reason:"; echo "$out"; exit 1; }
echo "a dropped Result stops the build: $(grep -m1 -o 'ignoring return[^[]*' <<<"$out")"

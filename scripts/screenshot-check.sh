#!/usr/bin/env bash
# Usage: screenshot-check.sh PNG. Fails unless the file exists and shows a
# picture: a blank or single-colour screen has a handful of colours at most,
# the meadow scene thousands.
set -uo pipefail
shot=${1:?usage: screenshot-check.sh PNG}
[ -s "$shot" ] || { echo "screenshot-check: $shot is missing or empty" >&2; exit 1; }
colours=$(identify -format '%k' "$shot" 2>/dev/null) ||
  { echo "screenshot-check: $shot is not an image" >&2; exit 1; }
if [ "${colours:-0}" -lt 1000 ]; then
  echo "screenshot-check: $shot is blank ($colours colours)" >&2
  exit 1
fi
echo "screenshot-check: $shot shows a picture ($colours colours)"

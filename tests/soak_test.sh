#!/usr/bin/env bash
# A short soak of the screensaver with every overlay on, in two runs:
# - the wall clock at 6000 times its speed for 20 s (a day and a half: the
#   leap day, the end of February), checking that nodes, textures, packs
#   and memory stay flat and the overlays are right at the end;
# - the wall clock at its own speed across a new year's midnight, where
#   the counter shows the real frame rate.
# The long version is bench/soak.sh.
set -euo pipefail
SOAK="$QUESSANTA_SOURCE_DIR/bench/soak.sh"
echo "== sped up"
bash "$SOAK" --seconds 20 --speed 6000 --start "2024-02-28 23:50:00" --interval 2 --min-days 1.2
echo "== real speed across midnight"
bash "$SOAK" --seconds 15 --speed 1 --start "2024-12-31 23:59:50" --interval 2 --min-days 0

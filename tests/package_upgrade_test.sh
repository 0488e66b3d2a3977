#!/usr/bin/env bash
# Pack files changing under a running screensaver, as a package upgrade
# changes them (a new file renamed over each), change nothing it shows and
# print nothing; packs that lack the models the scene needs are named, one
# line per entry, and the run goes on.
set -u
BIN="${QUESSANTA_BIN:?}"
TEST_NAME=package-upgrade source "${QUESSANTA_SOURCE_DIR:?}/tests/support/script_test.sh"
start_xvfb || exit 1
export QUESSANTA_COMMON_APPDATA="$T/appdata" SDL_VIDEODRIVER=x11

install_copy() {  # folder: the packs and the preview, copied
  mkdir -p "$1" && cp "$BIN"/*.pak "$BIN"/preview.ppk "$1"/
}

# --- Every pack replaced by a truncated one, by rename, while it runs: the
# clock's digits and dot, read again from their pack during frames, still
# come from the file first read.
install_copy "$T/inst"
QUESSANTA_PATH="$T/inst" QUESSANTA_STATS_FILE="$T/stats" QUESSANTA_STATS_SECONDS=0.5 \
  "$BIN/Quessanta" --clock=24h --fps 2>"$T/err" &
pid=$!
sleep 3
for pack in "$T"/inst/*.pak; do
  head -c 37 "$pack" >"$pack.new" && mv "$pack.new" "$pack"
done
lines=$(wc -l <"$T/stats")
sleep 4
term_promptly "$pid" "packs replaced"
[ -s "$T/err" ] && fail "packs replaced: stderr $(head -c 300 "$T/err")"
# After the replacement the clock still shows its places, the dot blinking.
after=$(tail -n +"$((lines + 1))" "$T/stats")
grep -q 'clock=[0-9_]|[0-9]|dot|[0-9]|[0-9]' <<<"$after" && grep -q 'clock=[0-9_]|[0-9]|_|[0-9]|[0-9]' <<<"$after" ||
  fail "packs replaced: the clock lost its pieces: $(sed -n 's/.*\(clock=[^ ]*\).*/\1/p' <<<"$after" | tr '\n' ' ')"

# --- The packs of the scene's models hold no entries, or an empty model:
# one line for each missing model, naming pack and entry, and it goes on.
install_copy "$T/bare"
printf '\0\0\0\0' >"$T/bare/main.pak"
printf '\0\0\0\0' >"$T/bare/calendar.pak"
python3 - "$T/bare/utils.pak" <<'EOF'
import struct, sys
name = b'fps'
open(sys.argv[1], 'wb').write(struct.pack('<i', 1) + struct.pack('<B', len(name)) + name + struct.pack('<I', 0))
EOF
QUESSANTA_PATH="$T/bare" "$BIN/Quessanta" --fps --calendar=english 2>"$T/err" &
pid=$!
sleep 3
term_promptly "$pid" "packs without models"
for want in "main.pak: fon: no such entry" "main.pak: flowers: no such entry" "calendar.pak: fon: no such entry" \
            "utils.pak: fps: empty entry, not a model"; do
  [ "$(grep -c "^Quessanta: .*/bare/$want\$" "$T/err")" -eq 1 ] || fail "no one line '$want': $(head -c 600 "$T/err")"
done
echo "packs without models: $(wc -l <"$T/err") lines"
exit $failures

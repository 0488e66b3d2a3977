#!/usr/bin/env bash
# Files made by a hostile user or a broken disk: entry names that lead out of
# the extraction folder, FIFOs and devices in place of packs and settings,
# and two settings changes made at the same moment.
set -u
BIN="${QUESSANTA_BIN:?}"
PAK="$BIN/pak"
TEST_NAME=hostile source "${QUESSANTA_SOURCE_DIR:?}/tests/support/script_test.sh"
# The screensaver runs here full screen: on a display of its own.
start_xvfb || exit 1
cd "$T" || exit 1

# A pack with the given names, each entry holding its own index as text.
make_pack() {  # out name...
  python3 - "$@" <<'EOF'
import struct, sys
out, names = sys.argv[1], [n.encode('utf-8', 'surrogateescape').replace(b'<NUL>', b'\0') for n in sys.argv[2:]]
with open(out, 'wb') as f:
    f.write(struct.pack('<i', len(names)))
    for i, n in enumerate(names):
        data = b'entry %d' % i
        f.write(struct.pack('<B', len(n)) + n + struct.pack('<I', len(data)) + data)
EOF
}

# --- Extraction stays inside its folder; the rest is written; names shown escaped
mkdir -p deep/a/b/c/target outside
make_pack evil.pak good1 "../../../../outside/escaped" "/$T/outside/absolute" "hidden<NUL>.txt" \
  "sub/../../up" 'tab	and
newline' good2
"$PAK" extract evil.pak deep/a/b/c/target/ 2>err.txt; rc=$?
[ $rc -ne 0 ] || fail "extract of a pack with unsafe names exits 0"
[ -z "$(ls -A outside)" ] || fail "extract wrote outside its folder: $(ls -A outside)"
[ "$(find deep -type f -printf x | wc -c)" -eq 3 ] && [ -f deep/a/b/c/target/good1 ] && [ -f $'deep/a/b/c/target/tab\tand\nnewline' ] ||
  fail "extracted files: $(find deep -type f | sort)"
[ "$(cat deep/a/b/c/target/good2 2>/dev/null)" = "entry 6" ] || fail "good2 has the wrong bytes"
[ "$(grep -c 'not extracted' err.txt)" -eq 4 ] || fail "unsafe names not each reported: $(cat err.txt)"
grep -q 'hidden\\0.txt' err.txt || fail "the NUL name is not shown escaped: $(cat err.txt)"
"$PAK" list evil.pak >list.txt || fail "list of a pack with odd names fails"
[ "$(wc -l <list.txt)" -eq 7 ] || fail "list output is not one line per entry: $(cat list.txt)"
grep -qF 'tab\tand\nnewline' list.txt || fail "control characters not escaped in list: $(cat list.txt)"
make_pack esc.pak "$(printf 'red\033[31m')" 'back\slash' "$(printf 'caf\xc3\xa9')"
"$PAK" list esc.pak >list.txt
grep -q $'\033' list.txt && fail "an escape code reaches the terminal"
grep -qF 'red\x1B[31m' list.txt || fail "escape code not shown as \\x1B: $(cat list.txt)"
grep -qF 'back\\slash' list.txt || fail "backslash not doubled"
grep -qF "$(printf 'caf\xc3\xa9')" list.txt || fail "UTF-8 text is escaped: $(cat list.txt)"

# --- Special files: refused at once, with a message, by pak and the program
mkfifo fifo.pak
for src in fifo.pak /dev/zero; do
  timeout 5 "$PAK" list "$src" 2>err.txt; rc=$?
  [ $rc -eq 1 ] || fail "pak list $src: exit $rc"
  grep -q "not a regular file" err.txt || fail "pak list $src: $(cat err.txt)"
  timeout 5 "$PAK" create x.pak "$src" 2>err.txt; rc=$?
  [ $rc -eq 1 ] || fail "pak create from $src: exit $rc"
  grep -q "not a regular file" err.txt || fail "pak create from $src: $(cat err.txt)"
done
[ -e x.pak ] && fail "a refused create left x.pak"
# The screensaver with a FIFO in place of a pack: one line naming it, exit 1,
# within a second.
mkdir inst
cp "$BIN"/*.pak "$BIN/Quessanta" inst/
rm inst/main.pak
mkfifo inst/main.pak
start=$(date +%s%N)
QUESSANTA_COMMON_APPDATA="$T/appdata" SDL_VIDEODRIVER=x11 timeout 10 inst/Quessanta 2>err.txt; rc=$?
took=$(( ($(date +%s%N) - start) / 1000000 ))
[ $rc -eq 1 ] || fail "FIFO main.pak: exit $rc"
grep -q "main.pak: cannot open the pack: not a regular file" err.txt || fail "FIFO main.pak: $(cat err.txt)"
[ $took -lt 3000 ] || fail "FIFO main.pak: took $took ms"
rm inst/main.pak
ln -s /dev/zero inst/main.pak
QUESSANTA_COMMON_APPDATA="$T/appdata" SDL_VIDEODRIVER=x11 timeout 10 inst/Quessanta 2>err.txt; rc=$?
[ $rc -eq 1 ] && grep -q "not a regular file" err.txt || fail "/dev/zero main.pak: exit $rc, $(cat err.txt)"
rm inst/main.pak
QUESSANTA_COMMON_APPDATA="$T/appdata" SDL_VIDEODRIVER=x11 timeout 10 inst/Quessanta 2>err.txt; rc=$?
[ $rc -eq 1 ] && grep -q "main.pak: cannot open the pack: No such file" err.txt ||
  fail "missing main.pak: exit $rc, $(cat err.txt)"
# A corrupt pack: the program and pak read it with the same reader and give
# the same reason.
printf '\001\000\000\000\005ab' >inst/main.pak
QUESSANTA_COMMON_APPDATA="$T/appdata" SDL_VIDEODRIVER=x11 timeout 10 inst/Quessanta 2>err.txt; rc=$?
"$PAK" list inst/main.pak 2>pak_err.txt
[ $rc -eq 1 ] && [ "$(wc -l <err.txt)" -eq 1 ] || fail "corrupt main.pak: exit $rc, $(cat err.txt)"
[ "$(sed 's/.*main\.pak: //' err.txt)" = "corrupt pack file: entry 0 of 1 ends inside its header" ] ||
  fail "corrupt main.pak: program says $(cat err.txt)"
[ "$(sed 's/.*main\.pak: //' pak_err.txt)" = "$(sed 's/.*main\.pak: //' err.txt)" ] ||
  fail "pak and the program disagree: $(cat pak_err.txt) / $(cat err.txt)"
rm inst/main.pak

# Settings: config explains and keeps its hands off; the screensaver goes on
# with the defaults (checked through the dummy video driver, where it stops
# at the video mode after reading the settings).
mkdir -p appdata
mkfifo appdata/Zandrim_Quessanta_cfg
export QUESSANTA_COMMON_APPDATA="$T/appdata"
timeout 5 "$BIN/config" >out.txt 2>&1; rc=$?
[ $rc -eq 0 ] && grep -q "not a regular file" out.txt || fail "config with a FIFO: exit $rc, $(cat out.txt)"
timeout 5 "$BIN/config" --fps=on 2>err.txt; rc=$?
[ $rc -eq 1 ] && grep -q "not a regular file" err.txt || fail "config --fps=on with a FIFO: exit $rc, $(cat err.txt)"
[ -p appdata/Zandrim_Quessanta_cfg ] || fail "config replaced the FIFO"
SDL_VIDEODRIVER=dummy timeout 5 "$BIN/Quessanta" 2>err.txt; rc=$?
[ $rc -eq 1 ] || fail "screensaver with a FIFO for settings: exit $rc (timeout is 124)"
grep -q "Zandrim_Quessanta_cfg: not a regular file; using the default settings" err.txt ||
  fail "screensaver with a FIFO for settings: $(cat err.txt)"
rm appdata/Zandrim_Quessanta_cfg
ln -s /dev/zero appdata/Zandrim_Quessanta_cfg
SDL_VIDEODRIVER=dummy timeout 5 "$BIN/Quessanta" 2>err.txt; rc=$?
[ $rc -eq 1 ] && grep -q "not a regular file" err.txt || fail "settings on /dev/zero: exit $rc, $(cat err.txt)"
rm appdata/Zandrim_Quessanta_cfg

# --- Two changes at once both land; no temporary files stay behind
lost=0
for round in $(seq 1 50); do
  "$BIN/config" --reset >/dev/null
  "$BIN/config" --fps=on >/dev/null & a=$!
  "$BIN/config" --calendar=russian >/dev/null & b=$!
  wait $a; ra=$?
  wait $b; rb=$?
  [ $ra -eq 0 ] && [ $rb -eq 0 ] || fail "round $round: config exit $ra/$rb"
  shown=$("$BIN/config")
  grep -q -- "--fps=on" <<<"$shown" && grep -q -- "--calendar=russian" <<<"$shown" || lost=$((lost + 1))
done
[ $lost -eq 0 ] || fail "$lost of 50 rounds lost a change"
# A stale temporary file of a killed run goes at the next save; a fresh one
# (a save in progress) stays.
touch -d '2 minutes ago' appdata/Zandrim_Quessanta_cfg.AbC123
touch appdata/Zandrim_Quessanta_cfg.XyZ789
"$BIN/config" --fps=off >/dev/null || fail "config --fps=off"
[ -e appdata/Zandrim_Quessanta_cfg.AbC123 ] && fail "a stale temporary file stayed"
[ -e appdata/Zandrim_Quessanta_cfg.XyZ789 ] || fail "a fresh temporary file was removed"
rm -f appdata/Zandrim_Quessanta_cfg.XyZ789
[ "$(ls appdata)" = "Zandrim_Quessanta_cfg" ] || fail "left in the settings folder: $(ls appdata)"

[ $failures -eq 0 ] && echo "hostile files: all good"
exit $failures

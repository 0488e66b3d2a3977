#!/usr/bin/env bash
# Files made by a hostile user or a broken disk: entry names and symbolic
# links that lead out of the extraction folder, FIFOs and devices in place of
# packs, settings and the statistics file, procedural textures too large to
# make, two settings changes made at the same moment, a settings folder
# another program keeps locked, a symlinked settings file; and hosts that
# hand over a window nothing can be drawn in, ignore SIGHUP (nohup) or give
# a relative installation folder.
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

# A symbolic link already in the target folder is not followed.
mkdir -p linked/target linked/outside
ln -s ../outside linked/target/lnk
make_pack link.pak "lnk/through" fine
"$PAK" extract link.pak linked/target/ 2>err.txt; rc=$?
[ $rc -eq 1 ] && [ -z "$(ls -A linked/outside)" ] && [ -f linked/target/fine ] ||
  fail "extract through a link: exit $rc, outside holds '$(ls -A linked/outside)'"
[ "$(wc -l <err.txt)" -eq 1 ] && grep -q "symbolic link" err.txt || fail "extract through a link: $(cat err.txt)"

# Saving through a symlinked settings file changes the file it leads to.
mkdir -p real
"$BIN/config" --reset >/dev/null
mv appdata/Zandrim_Quessanta_cfg real/cfg
ln -s ../real/cfg appdata/Zandrim_Quessanta_cfg
"$BIN/config" --fps=on >/dev/null || fail "config through a symlink"
[ -L appdata/Zandrim_Quessanta_cfg ] || fail "the settings symlink was replaced"
grep -q -- "--fps=on" <<<"$("$BIN/config")" || fail "the linked settings file kept the old settings"
[ "$(ls appdata real)" = "$(printf 'appdata:\nZandrim_Quessanta_cfg\n\nreal:\ncfg')" ] || fail "left behind: $(ls appdata real)"
rm appdata/Zandrim_Quessanta_cfg
mv real/cfg appdata/Zandrim_Quessanta_cfg

# Another program holds the settings folder's lock: config gives up after
# 5 s with one line naming the folder.
flock -o appdata sleep 9 &
locker=$!
sleep 0.3
start=$(date +%s%N)
"$BIN/config" --fps=off >/dev/null 2>err.txt; rc=$?
took=$(( ($(date +%s%N) - start) / 1000000 ))
[ $rc -eq 1 ] && [ $took -ge 4500 ] && [ $took -le 7000 ] || fail "held lock: exit $rc after $took ms"
[ "$(wc -l <err.txt)" -eq 1 ] && grep -qF "$T/appdata" err.txt || fail "held lock: $(cat err.txt)"
pkill -P "$locker"
wait "$locker" 2>/dev/null

# --- The screensaver in a host's window meets hostile input
HELPERS="${QUESSANTA_TEST_HELPERS:?}"
export SDL_VIDEODRIVER=x11
open_host() {  # [input-only]: a 320x240 host window; sets host (its pid) and id
  : >id.txt
  "$HELPERS/host_window" 320x240 "$@" >id.txt &
  host=$!
  for _ in $(seq 1 100); do [ -s id.txt ] && break; sleep 0.05; done
  id=$(cat id.txt)
}
close_host() { kill "$host"; wait "$host" 2>/dev/null; }

# A window nothing can be drawn in: one line, exit 1, however it is named.
open_host input-only
timeout 10 "$BIN/Quessanta" --window-id "$id" 2>err.txt; rc=$?
[ $rc -eq 1 ] && [ "$(wc -l <err.txt)" -eq 1 ] && grep -q "input-only" err.txt ||
  fail "input-only --window-id: exit $rc, $(head -c 300 err.txt)"
XSCREENSAVER_WINDOW=$id timeout 10 "$BIN/Quessanta" --root 2>err.txt; rc=$?
[ $rc -eq 1 ] && [ "$(wc -l <err.txt)" -eq 1 ] || fail "input-only XSCREENSAVER_WINDOW: exit $rc, $(head -c 300 err.txt)"
close_host

# A FIFO as the statistics file: one line, no statistics, and a stop still
# ends it at once.
mkfifo stats.fifo
open_host
QUESSANTA_STATS_FILE=stats.fifo QUESSANTA_STATS_SECONDS=0.5 "$BIN/Quessanta" --window-id "$id" 2>err.txt &
pid=$!
sleep 2.5
term_promptly "$pid" "FIFO statistics file"
[ "$(cat err.txt)" = "Quessanta: QUESSANTA_STATS_FILE stats.fifo: not a regular file; no statistics" ] ||
  fail "FIFO statistics file: $(cat err.txt)"
close_host

# Under nohup SIGHUP stays ignored; SIGTERM still ends it.
open_host
nohup "$BIN/Quessanta" --window-id "$id" >/dev/null 2>err.txt &
pid=$!
sleep 2
kill -HUP "$pid"
sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "nohup: SIGHUP ended the screensaver"
term_promptly "$pid" "under nohup"
close_host

# Procedural textures past the side limit or the budget, in place of the
# flowers: each refused with one line naming the pack and entry, within
# 600 MB. (A sanitizer build holds freed memory back: its figure is not
# judged, and its frames of 128 MiB of plasma take seconds.)
judged=1
grep -q libasan <<<"$(ldd "$BIN/Quessanta" 2>/dev/null)" && judged=0
procedural_pack() {  # out name...: main.pak with "flowers" one quad per name
  python3 - "$BIN/main.pak" "$@" <<'PY'
import struct, sys
src, out, names = sys.argv[1], sys.argv[2], sys.argv[3:]
model = bytearray(b'\0') + struct.pack('<i', len(names))
quad = [(-5, -5), (5, -5), (5, 5), (-5, -5), (5, 5), (-5, 5)]
for n in names:
    model += struct.pack('<i', len(n)) + n.encode() + bytes(140) + struct.pack('<i', 2) + b'\0'
    model += b''.join(struct.pack('<3d', x, y, 0) for x, y in quad)
    model += b''.join(struct.pack('<3d', 0, 0, 1) for _ in quad)
    model += b''.join(struct.pack('<2d', (x + 5) / 10, (y + 5) / 10) for x, y in quad)
data = open(src, 'rb').read()
pos, entries = 4, []
for _ in range(struct.unpack_from('<i', data)[0]):
    name = data[pos + 1:pos + 1 + data[pos]]; pos += 1 + data[pos]
    size = struct.unpack_from('<I', data, pos)[0]; pos += 4
    entries.append((name, bytes(model) if name == b'flowers' else data[pos:pos + size])); pos += size
with open(out, 'wb') as f:
    f.write(struct.pack('<i', len(entries)))
    for name, body in entries: f.write(bytes([len(name)]) + name + struct.pack('<I', len(body)) + body)
PY
}
for names in "x#Plasma16384,16384,1,2,3" "x#Fire8192,8192" \
  "$(echo x#Plasma4096,4096,{1,2,3,4,5,6,7,8},2,3)"; do
  rm -rf proc && mkdir proc && cp "$BIN"/*.pak "$BIN/Quessanta" proc/
  procedural_pack proc/main.pak $names
  open_host
  proc/Quessanta --window-id "$id" 2>err.txt &
  pid=$!
  sleep 4
  peak=$(awk '/^VmHWM:/ { print int($2 / 1024) }' "/proc/$pid/status")
  echo "procedural ${names%% *}...: peak ${peak} MB"
  kill -TERM "$pid"
  wait_end "$pid" 60; rc=$?
  [ $rc -eq 0 ] || fail "procedural ${names%% *}: exit $rc"
  [ $judged -eq 0 ] || { [ -n "$peak" ] && [ "$peak" -lt 600 ]; } || fail "procedural ${names%% *}: peak ${peak:-?} MB"
  grep -q "^Quessanta: main.pak: flowers: procedural texture 'x#.*' not used: " err.txt ||
    fail "procedural ${names%% *}: $(head -c 300 err.txt)"
  close_host
done

# A relative installation folder: "/c" and "/s" still find their programs.
rel=$(realpath --relative-to="$T" "$BIN")
QUESSANTA_PATH=$rel timeout 10 "$BIN/Quessanta" /c >out.txt 2>err.txt; rc=$?
# "/c" returns without waiting: the settings program it started may print a moment later.
for _ in $(seq 50); do grep -q -- "--fps=" out.txt && break; sleep 0.1; done
[ $rc -eq 0 ] && grep -q -- "--fps=" out.txt && [ ! -s err.txt ] || fail "/c with QUESSANTA_PATH=$rel: exit $rc, $(cat err.txt)"
QUESSANTA_PATH=$rel "$BIN/Quessanta" /s 2>err.txt &
pid=$!
sleep 3
kill -TERM "$pid"
wait_end "$pid" 10; rc=$?
[ $rc -eq 0 ] && [ ! -s err.txt ] || fail "/s with QUESSANTA_PATH=$rel: exit $rc, $(cat err.txt)"

[ $failures -eq 0 ] && echo "hostile files: all good"
exit $failures

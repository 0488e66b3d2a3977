#!/usr/bin/env bash
# The pack tool end to end: create, list and extract, the byte layout it
# writes, and clear failures that leave existing packs alone.
set -u
PAK="${QUESSANTA_BIN:?}/pak"
WORK="$(mktemp -d /tmp/quessanta-pak-XXXXXX)"
trap 'rm -rf "$WORK"' EXIT
cd "$WORK" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

[ -x "$PAK" ] || { echo "FAIL: no pak at $PAK"; exit 1; }

# --help
"$PAK" --help >help.txt 2>&1 || fail "--help exits non-zero"
for word in list create extract; do grep -q "$word" help.txt || fail "--help does not mention $word"; done
"$PAK" >out.txt 2>err.txt; rc=$?
[ $rc -eq 2 ] && [ ! -s out.txt ] || fail "no arguments: exit $rc"
[ "$(cat err.txt)" = "$(printf "pak: no command given\nTry 'pak --help'.")" ] || fail "no arguments: $(cat err.txt)"
"$PAK" frobnicate x.pak 2>err.txt && fail "unknown command succeeds"
grep -q frobnicate err.txt || fail "unknown command is not named"

# Exact bytes of a one-entry pack.
printf 'xyz' >ab
"$PAK" create one.pak ab || fail "create one.pak"
[ "$(od -An -tx1 one.pak | tr -d ' \n')" = "010000000261620300000078797a" ] || fail "one.pak layout: $(od -An -tx1 one.pak)"

# Entries named by their paths as given, or by --name.
mkdir -p art
printf 'first' >art/a.txt
head -c 256 /dev/urandom >art/random.bin
: >empty
"$PAK" create set.pak art/a.txt --name renamed art/random.bin empty || fail "create set.pak"
printf '0\tart/a.txt\t5\n1\trenamed\t256\n2\tempty\t0\n' >expected.txt
"$PAK" list set.pak >listed.txt || fail "list set.pak"
cmp -s expected.txt listed.txt || { fail "list output"; cat listed.txt; }

# Extraction: prefix and name joined as they are.
mkdir -p out/art
"$PAK" extract set.pak out/ || fail "extract to out/"
cmp -s art/a.txt out/art/a.txt || fail "out/art/a.txt differs"
cmp -s art/random.bin out/renamed || fail "out/renamed differs"
[ -f out/empty ] && [ ! -s out/empty ] || fail "out/empty is not an empty file"
# An empty name is allowed.
"$PAK" create blank.pak -n "" ab || fail "create with an empty name"
[ "$("$PAK" list blank.pak)" = "$(printf '0\t\t3')" ] || fail "empty name not listed"
"$PAK" create sec.pak --name sec ab || fail "create sec.pak"
"$PAK" extract sec.pak out || fail "extract with prefix out"
cmp -s ab outsec || fail "prefix out and entry sec do not give outsec"
# The target folder is made when missing; one that cannot be made is named.
"$PAK" extract sec.pak missing/dir/ || fail "extract into a missing folder"
cmp -s ab missing/dir/sec || fail "missing/dir/sec differs"
"$PAK" extract sec.pak ab/dir/ 2>err.txt && fail "extract below a plain file succeeds"
[ "$(cat err.txt)" = "pak: cannot create the folder ab/dir: Not a directory" ] || fail "folder not made: $(cat err.txt)"

# Paths that are not relative and clean are stored by their last part, so
# that extract gives every entry back; a name by hand that would lead out
# of the folder is refused.
"$PAK" create paths.pak "$WORK/ab" ./art/a.txt art/../empty || fail "create with unclean paths"
[ "$("$PAK" list paths.pak | cut -f2 | tr '\n' ' ')" = "ab a.txt empty " ] ||
  fail "unclean paths stored as: $("$PAK" list paths.pak | cut -f2 | tr '\n' ' ')"
"$PAK" create x.pak --name /etc/x ab 2>err.txt && fail "an absolute name by hand is accepted"
[ "$(wc -l <err.txt)" -eq 1 ] && grep -q "absolute" err.txt || fail "absolute name refused with: $(cat err.txt)"
"$PAK" create x.pak .. 2>err.txt && fail "a file named .. is accepted"
[ "$(wc -l <err.txt)" -eq 1 ] || fail "a file named ..: $(cat err.txt)"

# Failures leave an existing pack untouched.
cp set.pak before.pak
"$PAK" create set.pak art/a.txt no-such-file 2>err.txt && fail "create with a missing file succeeds"
grep -q no-such-file err.txt || fail "missing file is not named"
cmp -s set.pak before.pak || fail "failed create changed the pack"
long="$(printf 'n%.0s' $(seq 128))"
"$PAK" create set.pak --name "$long" ab 2>err.txt && fail "128-byte name accepted"
grep -q 127 err.txt || fail "long name message does not give the limit"
cmp -s set.pak before.pak || fail "refused long name changed the pack"
"$PAK" create x.pak --name 2>/dev/null && fail "--name without a value succeeds"
"$PAK" create x.pak 2>/dev/null && fail "create without files succeeds"
[ ! -e x.pak ] || fail "failed create left x.pak"
ls -A | grep -q 'XXXXXX\|\.pak\.' && fail "temporary files left behind: $(ls -A)"

# Entries in folders are extracted into the folders their names need.
mkdir -p d/e && echo deep >d/e/f.txt
"$PAK" create deep.pak d/e/f.txt && "$PAK" extract deep.pak deep-out/ 2>err.txt &&
  [ "$(cat deep-out/d/e/f.txt 2>/dev/null)" = deep ] || fail "extract into new folders: $(cat err.txt)"

# A pack too large for the memory allowed is out of memory, not corrupt: a
# sparse pack of one entry of 512 MiB read within 256 MiB of address space.
python3 -c "
import struct
with open('big.pak', 'wb') as f:
    f.write(struct.pack('<iB', 1, 3) + b'big' + struct.pack('<I', 512 << 20))
    f.truncate(f.tell() + (512 << 20))"
# (AddressSanitizer's shadow memory cannot live within such a limit.)
if ! ldd "$PAK" | grep -q libasan; then
  (ulimit -v 262144; "$PAK" list big.pak) >/dev/null 2>err.txt && fail "a 512 MiB entry read in 256 MiB"
  grep -q "^pak: big.pak: out of memory: " err.txt && [ "$(wc -l <err.txt)" -eq 1 ] || fail "out of memory: $(cat err.txt)"
fi

# Unreadable and corrupt packs are explained.
"$PAK" list absent.pak 2>err.txt && fail "list of a missing pack succeeds"
grep -q absent.pak err.txt || fail "missing pack is not named"
head -c 12 set.pak >cut.pak
"$PAK" list cut.pak >/dev/null 2>err.txt && fail "list of a truncated pack succeeds"
grep -q cut.pak err.txt || fail "truncated pack is not named"
printf '\001\000\000\000\377' >neg.pak
"$PAK" extract neg.pak out/ 2>err.txt && fail "extract of a corrupt pack succeeds"
grep -q neg.pak err.txt || fail "corrupt pack is not named"

if [ "$failures" -eq 0 ]; then echo "pak tool: all checks passed"; fi
[ "$failures" -eq 0 ]

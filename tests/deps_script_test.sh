#!/usr/bin/env bash
# The install step's command composition, with dpkg-query, apt-get, sudo and
# id replaced by stand-ins on PATH: as root apt-get runs directly, as a normal
# user through sudo, never with a question; the lists name what the build
# reads (the artwork fonts) and what the tests run.
set -uo pipefail
SRC="${QUESSANTA_SOURCE_DIR:-$(cd "$(dirname "$0")/.." && pwd)}"
T=$(mktemp -d /tmp/quessanta-deps-test-XXXXXX)
trap 'rm -rf "$T"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

mkdir "$T/bin"
# Installed: the packages listed in $T/installed, one per line.
cat >"$T/bin/dpkg-query" <<'EOF'
#!/bin/bash
pkg="${!#}"
grep -qx "$pkg" "$STUB_DIR/installed" 2>/dev/null && echo -n "install ok installed" && exit 0
exit 1
EOF
cat >"$T/bin/apt-get" <<'EOF'
#!/bin/bash
echo "apt-get frontend=${DEBIAN_FRONTEND:-} $*" >>"$STUB_DIR/log"
EOF
cat >"$T/bin/sudo" <<'EOF'
#!/bin/bash
echo "sudo $*" >>"$STUB_DIR/log"
while [ "${1:-}" != "${1#-}" ]; do shift; done
exec "$@"
EOF
cat >"$T/bin/id" <<'EOF'
#!/bin/bash
echo "$STUB_UID"
EOF
chmod +x "$T/bin/"*

deps() {  # deps UID LIST -> runs the script, leaves its log in $T/log
  rm -f "$T/log"
  STUB_DIR="$T" STUB_UID="$1" PATH="$T/bin:$PATH" bash "$SRC/scripts/deps.sh" "$2" </dev/null >"$T/out" 2>&1
}

# --- as root: apt-get itself, non-interactive, nothing through sudo
: >"$T/installed"
deps 0 test || fail "as root: exit $? ($(cat "$T/out"))"
grep -q '^sudo' "$T/log" && fail "as root: went through sudo"
grep -q '^apt-get frontend=noninteractive update' "$T/log" || fail "as root: no apt-get update: $(cat "$T/log")"
install=$(grep '^apt-get frontend=noninteractive install' "$T/log")
[ -n "$install" ] || fail "as root: no non-interactive apt-get install: $(cat "$T/log")"
grep -q -- ' -y ' <<<"$install" || fail "as root: install may ask: $install"
for p in fonts-dejavu-extra xxd xdotool apitrace faketime imagemagick; do
  grep -qw -- "$p" <<<"$install" || fail "test list lacks $p"
done

# --- as a normal user without a terminal: sudo that cannot prompt
deps 1000 run || fail "as a user: exit $? ($(cat "$T/out"))"
grep -q '^sudo -n env DEBIAN_FRONTEND=noninteractive apt-get install -y' "$T/log" ||
  fail "as a user: not through a non-prompting sudo: $(cat "$T/log")"
grep -q '^apt-get frontend=noninteractive install.* -y ' "$T/log" || fail "as a user: apt-get not reached"
grep -qw xdotool "$T/log" && fail "run list carries test-only packages"

# --- everything present: no install at all; a bad argument is refused
for p in $(sed -n 's/.*install -y -q --no-install-recommends //p' <<<"$install"); do echo "$p"; done >"$T/installed"
deps 0 test || fail "all installed: exit $?"
[ -e "$T/log" ] && fail "all installed: still ran $(cat "$T/log")"
deps 0 bogus && fail "a bad argument was accepted"

# --- every font the artwork generator opens comes from a listed package
run_list=$(sed -n '/^RUN_PACKAGES=/,/"$/p' "$SRC/scripts/deps.sh")
fonts=$(grep -rho --include="*.h" --include="*.cpp" 'dejaVuPath("[^"]*")' "$SRC"/tools/artgen | sed 's/.*("\(.*\)")/\1/' | sort -u)
[ -n "$fonts" ] || fail "no font names found in the artwork generator"
for f in $fonts; do
  owner=$(dpkg -S "/usr/share/fonts/truetype/dejavu/$f" 2>/dev/null | cut -d: -f1)
  if [ -z "$owner" ]; then fail "font $f belongs to no installed package"
  elif ! grep -qw -- "$owner" <<<"$run_list"; then fail "font $f is in $owner, which the run list does not name"; fi
done

[ $failures -eq 0 ] && echo "deps script: all good"
exit $failures

#!/usr/bin/env bash
# On a machine that may be changed (CI's fresh Debian root, as root): builds
# the .deb, checks it with lintian (any error or warning fails), installs it
# with apt-get, and checks the installed program as a user would meet it:
# the commands find their data and each other, the man pages are there, and
# the XScreenSaver hack runs when the screen blanks.
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
[ "$(id -u)" -eq 0 ] || { echo "deb-check: installs a package: run it as root" >&2; exit 2; }
started=$SECONDS
deb=$(bash scripts/deb.sh) || { echo "deb-check: the package could not be made" >&2; exit 1; }
echo "deb-check: built $deb ($(stat -c %s "$deb") bytes)"
dpkg-deb -f "$deb" Version Depends Recommends
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# Lintian's informational notes are shown too; errors and warnings fail. (It
# says on stderr that it runs as root, which CI does.)
lintian --display-info --fail-on error,warning "$deb" 2>&1 | grep -v "^running with root privileges"
[ "${PIPESTATUS[0]}" -eq 0 ] || fail "lintian finds errors or warnings in $deb"
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$deb" >/dev/null || exit 1
for f in /usr/bin/quessanta /usr/bin/quessanta-config /usr/libexec/xscreensaver/quessanta \
         /usr/share/quessanta/main.pak /usr/share/quessanta/preview.ppk /usr/share/xscreensaver/config/quessanta.xml \
         /usr/share/doc/quessanta/copyright /usr/share/doc/quessanta/changelog.gz; do
  [ -e "$f" ] || fail "$f is not installed"
done
for page in quessanta quessanta-config; do
  [ "$(man -w "$page" 2>&1)" = "/usr/share/man/man6/$page.6.gz" ] || fail "man $page: $(man -w "$page" 2>&1)"
done
# One version: the package's, the programs'.
version=$(dpkg-deb -f "$deb" Version)
[ "$(quessanta --version)" = "quessanta (Quessanta) $version" ] || fail "quessanta --version: $(quessanta --version)"
[ "$(quessanta-config -V)" = "quessanta-config (Quessanta) $version" ] || fail "quessanta-config -V: $(quessanta-config -V)"
export QUESSANTA_COMMON_APPDATA="$(mktemp -d)"
quessanta-config --clock=24h >/dev/null || fail "quessanta-config cannot save"
quessanta /c 2>err.txt || fail "quessanta /c: $(cat err.txt)"
[ -s err.txt ] && fail "quessanta /c: $(cat err.txt)"
rm -f err.txt
# The hack under XScreenSaver, with the installed packs.
export QUESSANTA_SOURCE_DIR="$ROOT" QUESSANTA_HACK=/usr/libexec/xscreensaver/quessanta SDL_VIDEODRIVER=x11
bash tests/xscreensaver_test.sh || fail "the installed hack under XScreenSaver"
rm -rf "$QUESSANTA_COMMON_APPDATA"
echo "deb-check: took $((SECONDS - started)) s"
[ $failures -eq 0 ] && echo "deb-check: all good"
exit $failures

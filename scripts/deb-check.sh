#!/usr/bin/env bash
# On a machine that may be changed (CI's fresh Debian root, as root): builds
# the .deb, installs it with apt-get, and checks the installed program as a
# user would meet it: the commands find their data and each other, and the
# XScreenSaver hack runs when the screen blanks.
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
[ "$(id -u)" -eq 0 ] || { echo "deb-check: installs a package: run it as root" >&2; exit 2; }
started=$SECONDS
deb=$(bash scripts/deb.sh) || { echo "deb-check: the package could not be made" >&2; exit 1; }
echo "deb-check: built $deb ($(stat -c %s "$deb") bytes)"
dpkg-deb -f "$deb" Depends Recommends
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$deb" >/dev/null || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
for f in /usr/bin/quessanta /usr/bin/quessanta-config /usr/libexec/xscreensaver/quessanta \
         /usr/lib/quessanta/main.pak /usr/share/xscreensaver/config/quessanta.xml; do
  [ -e "$f" ] || fail "$f is not installed"
done
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

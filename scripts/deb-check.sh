#!/usr/bin/env bash
# On a machine that may be changed (as root: CI's fresh Debian root, or the
# test command's package stage): builds the .deb, checks it with lintian
# (any error or warning fails), installs it with apt-get, and checks the
# installed program as a user would meet it: the commands find their data
# and each other, the man pages are there, and each screensaver host runs
# it: XScreenSaver, once quessanta-config has put it on the user's list,
# and xfce4-screensaver and mate-screensaver from their theme lists. Ends
# with "deb-check: N passed, M failed", one count per check.
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
[ "$(id -u)" -eq 0 ] || { echo "deb-check: installs a package: run it as root" >&2; exit 2; }
started=$SECONDS
deb=$(bash scripts/deb.sh) || { echo "deb-check: the package could not be made" >&2; exit 1; }
echo "deb-check: built $deb ($(stat -c %s "$deb") bytes)"
dpkg-deb -f "$deb" Version Depends Recommends
failures=0
passed=0
failed=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# Ends a check: it passed when nothing failed since the last one.
checked() {
  if [ $failures -eq 0 ]; then passed=$((passed + 1)); echo "deb-check: $1: ok"; else failed=$((failed + 1)); fi
  failures=0
}
# Lintian's informational notes are shown too; errors and warnings fail. (It
# says on stderr that it runs as root, which CI does.)
lintian --display-info --fail-on error,warning "$deb" 2>&1 | grep -v "^running with root privileges"
[ "${PIPESTATUS[0]}" -eq 0 ] || fail "lintian finds errors or warnings in $deb"
checked lintian
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$deb" >/dev/null || exit 1
for f in /usr/bin/quessanta /usr/bin/quessanta-config /usr/libexec/xscreensaver/quessanta \
         /usr/share/quessanta/main.pak /usr/share/quessanta/preview.ppk /usr/share/xscreensaver/config/quessanta.xml \
         /usr/share/applications/screensavers/quessanta.desktop \
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
rm -rf "$QUESSANTA_COMMON_APPDATA"
unset QUESSANTA_COMMON_APPDATA
checked "the installed files and commands"
# The hosts, with the installed packs.
bash scripts/deps.sh hosts >deps.log 2>&1 || { tail -5 deps.log; fail "the screensaver hosts cannot be installed"; }
grep "^Not in this Debian release" deps.log
rm -f deps.log
export QUESSANTA_SOURCE_DIR="$ROOT" QUESSANTA_HACK=/usr/libexec/xscreensaver/quessanta SDL_VIDEODRIVER=x11
bash tests/xscreensaver_test.sh || fail "the installed hack under XScreenSaver"
checked XScreenSaver
bash tests/theme_hosts_test.sh || fail "the installed theme under xfce4-screensaver and mate-screensaver"
checked "xfce4-screensaver and mate-screensaver"
echo "deb-check: took $((SECONDS - started)) s"
echo "deb-check: $passed passed, $failed failed"
[ $failed -eq 0 ]

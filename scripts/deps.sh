#!/usr/bin/env bash
# Installs the Debian packages that are missing. Usage: deps.sh run|test|deb|hosts
# Works as root (apt-get directly) or as a normal user (through sudo), and
# never stops at a question: apt-get runs non-interactively, and without a
# terminal sudo must not ask for a password either (it fails instead).
set -euo pipefail

# Every package the build reads from: compilers, libraries, the fonts the
# artwork generator draws its lettering with (the condensed DejaVu faces are
# in fonts-dejavu-extra), and what the run command uses without a display.
RUN_PACKAGES="build-essential cmake pkg-config libsdl1.2-dev libsdl-image1.2-dev
  libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri libx11-dev libfreetype-dev
  fonts-dejavu-core fonts-dejavu-extra libpng-dev xvfb x11-utils imagemagick"
# What the tests run besides: sanitizers and fuzzers, input and call tracing,
# screen size changes (xrandr), the frozen clock, byte-level file checks, the
# man pages' rendering.
TEST_PACKAGES="$RUN_PACKAGES libgtest-dev libbenchmark-dev clang libclang-rt-dev
  xdotool x11-xserver-utils apitrace faketime python3 xxd xscreensaver libxml2-utils procps man-db"

# What making and checking the Debian package needs besides: CPack finds
# the programs with file(1) and their library dependencies with
# dpkg-shlibdeps; lintian checks the package, man finds its pages.
DEB_PACKAGES="$RUN_PACKAGES file dpkg-dev lintian man-db"
# What trying the installed package needs: the screensaver hosts, a D-Bus
# session for two of them, and what drives and watches them.
HOST_PACKAGES="xscreensaver xfce4-screensaver mate-screensaver dbus-daemon xvfb x11-utils xdotool imagemagick
  python3 libxml2-utils procps desktop-file-utils"
# Packages a Debian release may lack: Debian 12 has no xfce4-screensaver.
OPTIONAL_PACKAGES="xfce4-screensaver"

case "${1:-run}" in
  run) wanted=$RUN_PACKAGES ;;
  test) wanted=$TEST_PACKAGES ;;
  deb) wanted=$DEB_PACKAGES ;;
  hosts) wanted=$HOST_PACKAGES ;;
  *) echo "usage: $0 run|test|deb|hosts" >&2; exit 2 ;;
esac

missing=()
for p in $wanted; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

# The command prefix that runs as root: nothing when we are root already.
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
  [ -t 0 ] || as_root+=(-n)
fi
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
available=()
for p in "${missing[@]}"; do
  if [[ " $OPTIONAL_PACKAGES " == *" $p "* ]] && ! grep -q "Candidate: [0-9]" <<<"$(apt-cache policy "$p" 2>/dev/null)"; then
    echo "Not in this Debian release: $p"
    continue
  fi
  available+=("$p")
done
[ ${#available[@]} -eq 0 ] && exit 0
echo "Installing: ${available[*]}"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -q --no-install-recommends "${available[@]}"

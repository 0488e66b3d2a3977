#!/usr/bin/env bash
# Installs the Debian packages that are missing. Usage: deps.sh run|test
# Works as root, or through sudo for a normal user.
set -euo pipefail

RUN_PACKAGES="build-essential cmake pkg-config libsdl1.2-dev libsdl-image1.2-dev
  libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri libx11-dev libfreetype-dev
  fonts-dejavu-core libpng-dev xvfb x11-utils imagemagick"
TEST_PACKAGES="$RUN_PACKAGES libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
  xdotool apitrace faketime python3"

case "${1:-run}" in
  run) wanted=$RUN_PACKAGES ;;
  test) wanted=$TEST_PACKAGES ;;
  *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

missing=()
for p in $wanted; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO -E apt-get install -y -q --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Cross-builds Quessanta for 64-bit Windows and makes its installer:
#   build-win/quessanta/      Quessanta.exe, Quessanta.scr, config.exe, pak.exe,
#                             the packs and preview.ppk (a complete installation)
#   build-win/QuessantaSetup.exe
#   build-win/tests/win32/    helpers for tests/windows_test.sh
# Runs scripts/windows-deps.sh first (toolchain, Wine, NSIS, SDL, libpng).
# The packs and preview.ppk are the native build's (build/), whose artwork
# generator is built and run first when needed. A second run only rebuilds
# what changed. QUESSANTA_JOBS sets the parallel jobs (default: all cores).
# Usage: windows-build.sh
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
JOBS=${QUESSANTA_JOBS:-$(nproc)}
NATIVE=$ROOT/build
WIN=$ROOT/build-win
say() { echo "windows-build: $*" >&2; }

prefix=$(bash scripts/windows-deps.sh | sed -n 's/^windows-deps: prefix //p')
[ -n "$prefix" ] || { say "scripts/windows-deps.sh gave no prefix"; exit 1; }

# The artwork, painted natively: configured as scripts/test.sh configures it.
if [ ! -f "$NATIVE/CMakeCache.txt" ]; then
  say "configuring the native build in $NATIVE for the artwork"
  nice -n 19 cmake -S . -B "$NATIVE" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
nice -n 19 cmake --build "$NATIVE" -j"$JOBS" --target artwork >/dev/null

# A cache made with another dependency prefix has its libraries' paths:
# configured afresh.
if [ -f "$WIN/CMakeCache.txt" ] && ! grep -qxF "QUESSANTA_WINDEPS:PATH=$prefix" "$WIN/CMakeCache.txt"; then
  rm -rf "$WIN/CMakeCache.txt" "$WIN/CMakeFiles"
fi
if [ ! -f "$WIN/CMakeCache.txt" ]; then
  say "configuring the Windows build in $WIN"
  nice -n 19 cmake -S . -B "$WIN" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DQUESSANTA_WINDEPS="$prefix" -DQUESSANTA_NATIVE_ARTWORK="$NATIVE/quessanta" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_EXE_LINKER_FLAGS_RELEASE=-s >/dev/null
fi
nice -n 19 cmake --build "$WIN" -j"$JOBS"
nice -n 19 cmake --build "$WIN" --target installer

say "installation directory: $WIN/quessanta/"
say "installer: $WIN/QuessantaSetup.exe"

#!/usr/bin/env bash
# Builds the Debian package build/quessanta_VERSION_ARCH.deb (after the
# installs and the build of the run command) and prints its path, the only
# line on stdout.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
bash scripts/deps.sh deb >&2
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" >&2
(cd build && cpack -G DEB >cpack.log 2>&1) || { cat build/cpack.log >&2; echo "deb.sh: cpack failed" >&2; exit 1; }
deb=$(ls -t build/quessanta_*.deb | head -1)
echo "$ROOT/$deb"

#!/usr/bin/env bash
# Builds the Debian package build-deb/quessanta_VERSION_ARCH.deb (after the
# installs it needs) and prints its path, the only line on stdout.
#
# Only what the package holds is built (the program, config, pak, the
# artwork, the man pages), in a build folder of its own, with the
# compiler and linker flags Debian builds its packages with (hardening
# included). The package's Maintainer field is "$DEBFULLNAME <$DEBEMAIL>"
# when both are set, as Debian's own tools take it, else the project's.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
bash scripts/deps.sh deb >&2
BUILD=build-deb
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
maintainer=(-UQUESSANTA_MAINTAINER)
if [ -n "${DEBFULLNAME:-}" ] && [ -n "${DEBEMAIL:-}" ]; then
  maintainer=(-DQUESSANTA_MAINTAINER="$DEBFULLNAME <$DEBEMAIL>")
fi
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=None \
  -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  -DQUESSANTA_TESTS=OFF -DQUESSANTA_BENCH=OFF -DQUESSANTA_TOOLS=ON -DQUESSANTA_LAYER_CHECK=OFF \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
  "${maintainer[@]}" >/dev/null
# cpack builds nothing more: the install step does not wait for "all".
cmake --build "$BUILD" -j"$(nproc)" --target Quessanta quessanta_config quessanta_pak artwork compressed_docs >&2
(cd "$BUILD" && cpack -G DEB >cpack.log 2>&1) || { cat "$BUILD/cpack.log" >&2; echo "deb.sh: cpack failed" >&2; exit 1; }
deb=$(ls -t "$BUILD"/quessanta_*.deb | head -1)
echo "$ROOT/$deb"

#!/usr/bin/env bash
# Installs the MinGW-w64 cross toolchain, Wine and NSIS for the Windows build,
# and builds the Windows libraries the program links against (SDL 1.2 and
# libpng, both static) from Debian's own source packages into a cache.
# Usage: windows-deps.sh
#
# Progress goes to stderr; stdout gets one line, the last one:
#   windows-deps: prefix DIR
# Configure with -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# -DQUESSANTA_WINDEPS=DIR. QUESSANTA_WINDEPS_CACHE moves the cache.
#
# Like deps.sh it works as root or through sudo and never stops at a question.
set -euo pipefail

HOST=x86_64-w64-mingw32
# mingw-w64 brings both thread models; we build with the -posix compilers,
# the win32 model has no std::thread or std::mutex. Wine loads the X and GL
# libraries at run time and only recommends them, so they are named here,
# with what tests/windows_test.sh drives Wine's windows and reads them with,
# and the X server and the RandR tool it makes two monitors with
# (scripts/two-monitors.sh).
PACKAGES="mingw-w64 libz-mingw-w64-dev wine wine64 nsis dpkg-dev debian-archive-keyring make cmake
  pkg-config python3 xvfb xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils x11-utils libgl1
  libgl1-mesa-dri libxrender1 libxrandr2
  libxi6 libxcursor1 libxfixes3 libxcomposite1 libxinerama1 libxxf86vm1
  xdotool imagemagick xxd"
# Bump when the build steps below change, so that old caches are not reused.
RECIPE=4

say() { echo "windows-deps: $*" >&2; }
die() { say "$*"; exit 1; }

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
  [ -t 0 ] || as_root+=(-n)
fi
# Wait for a concurrent apt or dpkg run instead of failing on its lock.
apt=("${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -q -o DPkg::Lock::Timeout=600)

# --- Debian packages --------------------------------------------------------

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

missing=()
for p in $PACKAGES; do installed "$p" || missing+=("$p"); done
if [ ${#missing[@]} -gt 0 ]; then
  say "installing: ${missing[*]}"
  "${apt[@]}" update >&2
  "${apt[@]}" install -y --no-install-recommends "${missing[@]}" >&2
fi

# --- Source packages ---------------------------------------------------------

cache=${QUESSANTA_WINDEPS_CACHE:-$HOME/.cache/quessanta/windows-deps}
mkdir -p "$cache"
cache=$(cd "$cache" && pwd)
# One build at a time; a second caller waits and then finds the result.
exec 9>"$cache/.lock"
flock 9

# The sources are Debian 12's on every release: Debian 13 no longer has the
# classic SDL 1.2 (its SDL 1.2 is sdl12-compat, which loads SDL 2 as a DLL
# at run time, while these programs need no DLL beyond Windows' own). apt
# fetches them through a configuration of its own in the cache, from the
# machine's Debian mirror and checked against Debian's archive keys as any
# download is; the system's apt sources are not touched, and no root is
# needed for it.
SOURCE_SUITE=bookworm
mirror=$(awk '/^URIs:/ { print $2; exit }' /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
[ -n "$mirror" ] || mirror=$(awk '$1 == "deb" && $2 !~ /^\[/ { print $2; exit }' /etc/apt/sources.list 2>/dev/null || true)
case "$mirror" in
  http://*|https://*) ;;
  *) mirror=http://deb.debian.org/debian ;;
esac
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
[ -r "$keyring" ] || die "missing $keyring (package debian-archive-keyring)"
aptdir=$cache/apt
mkdir -p "$aptdir/lists/partial" "$aptdir/cache/archives/partial"
echo "deb-src [signed-by=$keyring] $mirror $SOURCE_SUITE main" >"$aptdir/sources.list"
private_apt=(env DEBIAN_FRONTEND=noninteractive apt-get -q
  -o Dir::Etc::SourceList="$aptdir/sources.list" -o Dir::Etc::SourceParts=/nonexistent
  -o Dir::State::Lists="$aptdir/lists" -o Dir::Cache="$aptdir/cache"
  -o Debug::NoLocking=1 -o APT::Sandbox::User="$(id -un)")

# Source versions the private index offers, newest first.
src_versions() {
  apt-cache -o Dir::Etc::SourceList="$aptdir/sources.list" -o Dir::Etc::SourceParts=/nonexistent \
    -o Dir::State::Lists="$aptdir/lists" -o Dir::Cache="$aptdir/cache" showsrc "$1" 2>/dev/null |
    awk -v p="$1" '/^Package:/ { ours = ($2 == p) } ours && /^Version:/ { print $2 }' | sort -u -r -V || true
}
sdl_versions=$(src_versions libsdl1.2)
png_versions=$(src_versions libpng1.6)
if [ -z "$sdl_versions" ] || [ -z "$png_versions" ]; then
  say "fetching the $SOURCE_SUITE source index from $mirror"
  "${private_apt[@]}" update >&2 || die "cannot fetch the $SOURCE_SUITE source index from $mirror"
  sdl_versions=$(src_versions libsdl1.2)
  png_versions=$(src_versions libpng1.6)
fi
[ -n "$sdl_versions" ] && [ -n "$png_versions" ] || die "the $SOURCE_SUITE sources have no libsdl1.2 or libpng1.6"

# mingw-w64 ships the OpenGL and GLU import libraries and headers.
for f in lib/libopengl32.a lib/libglu32.a lib/libz.a include/GL/gl.h include/GL/glu.h include/zlib.h; do
  [ -e "/usr/$HOST/$f" ] || die "missing /usr/$HOST/$f"
done
command -v "$HOST-gcc-posix" >/dev/null || die "missing $HOST-gcc-posix"

# --- Windows libraries ------------------------------------------------------

key() { echo "sdl-$1_png-$2_r$RECIPE"; }
# A finished build of any source version apt still offers, newest first: a
# mirror may list a version whose files it cannot serve (seen with
# bookworm-security), and then the build below used an older one.
prefix=
for s in $sdl_versions; do
  for p in $png_versions; do
    [ -z "$prefix" ] && [ -d "$cache/$(key "$s" "$p")" ] && prefix=$cache/$(key "$s" "$p")
  done
done

if [ -z "$prefix" ]; then
  # Built under a temporary name on the same file system and renamed when
  # complete, so an interrupted run leaves nothing that looks finished.
  rm -rf "$cache"/.build-*
  work=$(mktemp -d "$cache/.build-XXXXXX")
  trap 'rm -rf "$work"' EXIT
  log=$cache/build.log
  : >"$log"
  run() {
    if ! "$@" >>"$log" 2>&1; then
      tail -n 40 "$log" >&2
      die "failed: $* (whole log: $log)"
    fi
  }
  # Fetches and unpacks (with Debian's patches) the newest version that
  # downloads; prints that version.
  fetch() {
    local v
    for v in $2; do
      mkdir "$work/$1"
      if (cd "$work/$1" && "${private_apt[@]}" source "$1=$v") >>"$log" 2>&1; then
        echo "$v"
        return 0
      fi
      say "$1 $v does not download, trying an older version"
      rm -rf "${work:?}/$1"
    done
    tail -n 20 "$log" >&2
    die "cannot download any version of $1 (whole log: $log)"
  }
  sdl_version=$(fetch libsdl1.2 "$sdl_versions")
  png_version=$(fetch libpng1.6 "$png_versions")
  prefix=$cache/$(key "$sdl_version" "$png_version")
  # Installed with DESTDIR so that the paths written into sdl-config and the
  # .pc files are already the final ones.
  stage=$work/stage
  jobs=$(nproc)
  export CC=$HOST-gcc-posix AR=$HOST-ar RANLIB=$HOST-ranlib
  say "building SDL $sdl_version and libpng $png_version for $HOST (log: $log)"

  # Debian's patches to configure.in only touch pkg-config checks for Linux
  # drivers, so the shipped configure serves and autoconf is not needed (make
  # says "configure.in is out of date" for that reason).
  # Video through the windib driver with OpenGL, timers, events and threads;
  # no sound, CD, joystick or DirectX, which a screensaver does not use.
  # --disable-stdio-redirect: SDLmain would send stdout and stderr to files
  # (SDLmain is dropped below anyway).
  # An empty DECLSPEC: SDL would otherwise mark its functions dllexport, and
  # every program linking the static library would export all of them.
  cd "$work"/libsdl1.2/libsdl1.2-*/
  run ./configure --host=$HOST --prefix="$prefix" --enable-static --disable-shared \
    --disable-stdio-redirect --disable-audio --disable-cdrom --disable-joystick \
    --disable-directx --disable-nasm --enable-video-opengl \
    CFLAGS="-g -O2 -DDECLSPEC="
  grep -q '^#define SDL_VIDEO_OPENGL_WGL 1' include/SDL_config.h || die "SDL configured without WGL"
  run nice -n 19 make -j"$jobs"
  run make install DESTDIR="$stage"

  cd "$work"/libpng1.6/libpng1.6-*/
  run ./configure --host=$HOST --prefix="$prefix" --enable-static --disable-shared
  run nice -n 19 make -j"$jobs"
  run make install DESTDIR="$stage"

  # Programs start at main() through MinGW's own start-up code, so SDLmain
  # must not be picked up by sdl-config, pkg-config or CMake's FindSDL. Only
  # static libraries are here, so the .pc files give what those need in Libs;
  # the subsystem (-mwindows or not) is each program's own choice.
  rm -f "$stage$prefix"/lib/libSDLmain.a "$stage$prefix"/lib/*.la "$stage$prefix"/bin/*.exe
  sed -i -e 's/ *-lSDLmain//' -e 's/ *-Dmain=SDL_main//' \
    "$stage$prefix"/bin/sdl-config "$stage$prefix"/lib/pkgconfig/sdl.pc
  sed -i -e 's/^Libs:.*/Libs: -L${libdir} -lSDL -luser32 -lgdi32 -lwinmm/' -e '/^Libs.private:/d' \
    "$stage$prefix"/lib/pkgconfig/sdl.pc
  sed -i -e 's/^Libs:.*/Libs: -L${libdir} -lpng16 -lz/' -e '/^Libs.private:/d' -e '/^Requires.private:/d' \
    "$stage$prefix"/lib/pkgconfig/libpng16.pc
  rm -rf "$stage$prefix"/share
  [ -f "$stage$prefix/lib/libSDL.a" ] && [ -f "$stage$prefix/lib/libpng16.a" ] || die "libraries missing after install"

  mv "$stage$prefix" "$prefix"
  say "built $(du -sh "$prefix" | cut -f1)"
fi

echo "windows-deps: prefix $prefix"

#!/usr/bin/env bash
# Installs what the build and the tests need, once per machine. Safe to run
# again: each step checks first and does nothing when its result is there.
set -euo pipefail

PACKAGES=(
  cmake make g++ clang libclang-rt-dev python3
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  libz-mingw-w64-dev zlib1g-dev
  wine wine64 wine32:i386 fonts-wine fonts-liberation
  xvfb xdotool imagemagick
  googletest
  dpkg-dev
  locales
  osslsigncode openssl python3-jsonschema python3-yaml
  nsis
)

log() { printf 'bootstrap: %s\n' "$*"; }

missing_packages() {
  local p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || printf '%s\n' "$p"
  done
}

apt_updated=0
apt_update_once() {
  if [ "$apt_updated" = 0 ]; then
    apt-get update -qq
    apt_updated=1
  fi
}

# wine32 comes from the i386 architecture, which must be known to dpkg before
# the package lists can offer it.
ensure_i386_architecture() {
  dpkg --print-foreign-architectures | grep -qx i386 && return 0
  log "adding the i386 architecture"
  dpkg --add-architecture i386
  apt_updated=0
}

install_packages() {
  local missing
  missing=$(missing_packages)
  [ -z "$missing" ] && return 0
  log "installing: $(echo $missing)"
  apt_update_once
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >/dev/null
}

# The source package of libpng needs a deb-src entry for the machine's own suites.
ensure_deb_src() {
  local src=/etc/apt/sources.list.d/debian.sources
  local extra=/etc/apt/sources.list.d/quilvane-src.sources
  [ -f "$extra" ] && return 0
  if [ -f "$src" ]; then
    sed -e 's/^Types: deb$/Types: deb-src/' "$src" > "$extra"
  else
    grep -E '^deb ' /etc/apt/sources.list | sed -e 's/^deb /deb-src /' > /etc/apt/sources.list.d/quilvane-src.list
    : > "$extra"
  fi
  apt_updated=0
}

CACHE=${QUILVANE_CACHE:-/var/cache/quilvane}

# Bump when the way libpng is built changes, so cached builds are made anew.
LIBPNG_RECIPE=9

build_libpng() {
  local arch=$1 prefix="$CACHE/libpng-$1"
  [ "$(cat "$prefix/recipe" 2>/dev/null)" = "$LIBPNG_RECIPE" ] && return 0
  log "building libpng for $arch"
  local work="$CACHE/libpng-src"
  if [ ! -d "$work" ] || ! ls "$work"/libpng1.6-*/CMakeLists.txt >/dev/null 2>&1; then
    ensure_deb_src
    apt_update_once
    rm -rf "$work"; mkdir -p "$work"
    fetch_libpng_source "$work"
  fi
  local srcdir
  srcdir=$(ls -d "$work"/libpng*/ 2>/dev/null | head -n 1)
  [ -n "$srcdir" ] || { log "could not unpack the libpng source"; exit 1; }
  local tc
  tc="$(cd "$(dirname "$0")/.." && pwd)/cmake/mingw-$arch.cmake"
  rm -rf "$CACHE/libpng-build-$arch"
  # One section per function, so the setup's linker keeps only the reading
  # functions it calls; the writer is configured out. On i686 also no unwind
  # tables, whose references would keep every function alive. x86_64 keeps
  # them: its longjmp, with which libpng reports errors, unwinds by them.
  local cflags="-ffunction-sections -fdata-sections"
  [ "$arch" = i686 ] && cflags="$cflags -fno-asynchronous-unwind-tables -fno-unwind-tables"
  cmake -S "$srcdir" -B "$CACHE/libpng-build-$arch" -DCMAKE_TOOLCHAIN_FILE="$tc" \
    -DCMAKE_BUILD_TYPE=MinSizeRel -DCMAKE_INSTALL_PREFIX="$prefix.new" \
    -DCMAKE_C_FLAGS="$cflags" \
    -DDFA_XTRA="$(cd "$(dirname "$0")" && pwd)/libpng-read-only.dfa" \
    -DPNG_SHARED=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DPNG_TOOLS=OFF \
    -DZLIB_LIBRARY="/usr/$(mingw_triplet "$arch")/lib/libz.a" \
    -DZLIB_INCLUDE_DIR="/usr/$(mingw_triplet "$arch")/include" >/dev/null
  cmake --build "$CACHE/libpng-build-$arch" -j"$(nproc)" >/dev/null
  rm -rf "$prefix.new"
  cmake --install "$CACHE/libpng-build-$arch" >/dev/null
  echo "$LIBPNG_RECIPE" > "$prefix.new/recipe"
  # Swapped in whole, so a build running meanwhile sees the old or the new.
  rm -rf "$prefix.old"
  [ -d "$prefix" ] && mv "$prefix" "$prefix.old"
  mv "$prefix.new" "$prefix"
  rm -rf "$prefix.old"
}

# The newest source version listed may be missing from the mirror (security
# updates move on); the upstream tarball is shared by all Debian revisions, so
# unpacking it ourselves is enough for a static build.
fetch_source() {  # fetch_source PACKAGE WORK: the package's upstream tree below WORK
  local package=$1 work=$2 v
  (cd "$work" && apt-get source -qq "$package" >/dev/null 2>&1) || true
  ls -d "$work/$package"-*/ >/dev/null 2>&1 && return 0
  if ! ls "$work/${package}"_*.orig.tar.* >/dev/null 2>&1; then
    for v in $(apt-cache showsrc "$package" | sed -n 's/^Version: //p'); do
      (cd "$work" && apt-get source -qq --download-only "$package=$v" >/dev/null 2>&1) || true
      ls "$work/${package}"_*.orig.tar.* >/dev/null 2>&1 && break
    done
  fi
  local tarball
  tarball=$(ls "$work/${package}"_*.orig.tar.* 2>/dev/null | head -n 1)
  [ -n "$tarball" ] || { log "$package source not available"; exit 1; }
  tar -xf "$tarball" -C "$work"
}

fetch_libpng_source() { fetch_source libpng1.6 "$1"; }

# libdeflate's decompression sources, compiled by the project's own build for
# every target (the source package has no CMake build of its own).
fetch_libdeflate_source() {
  local work="$CACHE/libdeflate-src"
  ls "$work"/libdeflate-*/lib/deflate_decompress.c >/dev/null 2>&1 && return 0
  log "fetching the libdeflate source"
  mkdir -p "$work"
  ensure_deb_src
  apt_update_once
  fetch_source libdeflate "$work"
  ls "$work"/libdeflate-*/lib/deflate_decompress.c >/dev/null 2>&1 || { log "could not unpack the libdeflate source"; exit 1; }
}

# The tests of folders in a double-byte code page run Wine under a Japanese
# locale, whose ANSI code page is 932.
ensure_japanese_locale() {
  locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' && return 0
  log "making the ja_JP.UTF-8 locale"
  sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
}

mingw_triplet() {
  case "$1" in
    i686) echo i686-w64-mingw32 ;;
    x86_64) echo x86_64-w64-mingw32 ;;
  esac
}

ensure_i386_architecture
install_packages
mkdir -p "$CACHE"
build_libpng i686
build_libpng x86_64
fetch_libdeflate_source
ensure_japanese_locale
log "ready"

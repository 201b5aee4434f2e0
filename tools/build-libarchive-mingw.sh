#!/usr/bin/env bash
# Cross-builds libarchive for 64-bit Windows with Debian's mingw-w64, static,
# with the compressors a download may use: zlib (Debian's
# libz-mingw-w64-dev), liblzma (7z's LZMA and LZMA2, xz) and libbz2, the
# last two built here too. All three from Debian's own sources, patches
# applied: libarchive, xz-utils and bzip2. Debian packages none of them for
# mingw-w64.
#
# The result goes to a cache folder outside the checkout,
#   ${PAINTWELL_LIBARCHIVE_MINGW:-~/.cache/paintwell/libarchive-3.6.2-mingw64}
# (include/, lib/ with libarchive.a, liblzma.a and libbz2.a, licences/), the
# sources and build trees beside it (<cache>-work, removed at the end). A
# complete cache is left alone. A few minutes with two cores.
#
# The cross builds use it through tools/libarchive-mingw.cmake.
set -euo pipefail
. "$(dirname "$0")/steps.sh"
. "$(dirname "$0")/debian-source.sh"
tools=$(cd "$(dirname "$0")" && pwd)
libarchive_version=3.6.2
xz_version=5.4.1
bzip2_version=1.0.8
cache=${PAINTWELL_LIBARCHIVE_MINGW:-$HOME/.cache/paintwell/libarchive-$libarchive_version-mingw64}
work=$cache-work
stamp=$cache/paintwell-libarchive-complete

if [ -f "$stamp" ]; then
  echo "libarchive $libarchive_version for mingw-w64 is complete in $cache: nothing to do"
  exit 0
fi

step "packages"
packages=(dpkg-dev cmake make g++-mingw-w64-x86-64 libz-mingw-w64-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The newest Debian revision of each (security fixes come as revisions), on
# the upstream version named above. Their Debian versions go in the stamp.
step "sources of libarchive, xz-utils and bzip2"
rm -rf "$work"
mkdir -p "$work" "$cache/include" "$cache/lib" "$cache/licences"
cd "$work"
sources=()
for source in libarchive:$libarchive_version xz-utils:$xz_version bzip2:$bzip2_version; do
  package=${source%%:*}
  debian_source "$package" "$package"
  version=$(dpkg-parsechangelog -l "$package/debian/changelog" -S Version)
  case "$version" in
    "${source#*:}"-*) ;;
    *) fail "Debian's $package is $version, not ${source#*:}" ;;
  esac
  sources+=("$package $version")
  cp "$package/debian/copyright" "$cache/licences/$package-copyright.txt"
done

# Every object built as tools/mingw-w64.cmake builds the project's.
cc=x86_64-w64-mingw32-gcc-posix
ar=x86_64-w64-mingw32-ar

step "liblzma $xz_version (CMake, static)"
cmake -S xz-utils -B xz-build -DCMAKE_TOOLCHAIN_FILE="$tools/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DCMAKE_INSTALL_PREFIX="$cache" \
  >xz.log 2>&1 || fail "liblzma: configure failed: see $work/xz.log"
# The library alone, not the xz programs.
{ cmake --build xz-build --parallel "$jobs" --target liblzma &&
  cmake --install xz-build --component liblzma_Development; } >>xz.log 2>&1 ||
  fail "liblzma: build failed: see $work/xz.log"

step "libbz2 $bzip2_version (static)"
bz_sources=(blocksort huffman crctable randtable compress decompress bzlib)
mkdir bzip2-build
for name in "${bz_sources[@]}"; do
  "$cc" -O2 -c "bzip2/$name.c" -o "bzip2-build/$name.o" ||
    fail "libbz2: $name.c did not compile"
done
(cd bzip2-build && "$ar" rcs "$cache/lib/libbz2.a" "${bz_sources[@]/%/.o}")
cp bzip2/bzlib.h "$cache/include/"

# Autotools: libarchive's CMake configure crashes CMake 3.25 at its
# ZLIB_WINAPI test. Maintainer mode off: Debian's patches touch
# configure.ac and Makefile.am (test lists only), which must not make the
# build regenerate configure.
step "libarchive $libarchive_version (autotools, static)"
mkdir libarchive-build
cd libarchive-build
../libarchive/configure --host=x86_64-w64-mingw32 --prefix="$cache" \
  --enable-static --disable-shared --disable-maintainer-mode --disable-dependency-tracking \
  --disable-bsdtar --disable-bsdcpio --disable-bsdcat --disable-acl --disable-xattr \
  --without-openssl --without-xml2 --without-expat --without-iconv \
  --without-nettle --without-mbedtls --without-lzo2 --without-libb2 --without-lz4 --without-zstd \
  CC="$cc" CPPFLAGS="-I$cache/include -DLZMA_API_STATIC" LDFLAGS="-L$cache/lib" \
  >../libarchive.log 2>&1 || fail "libarchive: configure failed: see $work/libarchive.log"
# What configure found decides what the Windows build reads: all three
# compressors and Windows' CNG (AES and PBKDF2 of encrypted zips) must be
# there.
for found in HAVE_LIBZ HAVE_LIBLZMA HAVE_LIBBZ2 HAVE_BCRYPT_H; do
  grep -q "^#define $found 1" config.h || fail "libarchive: configure found no ${found#HAVE_}"
done
{ make -j"$jobs" libarchive.la &&
  make install-libLTLIBRARIES install-includeHEADERS; } >>../libarchive.log 2>&1 ||
  fail "libarchive: build failed: see $work/libarchive.log"
cd ..
rm -f "$cache"/lib/*.la

printf '%s\n' "${sources[@]}" >"$stamp"
cd /
rm -rf "$work"
step "libarchive $libarchive_version for mingw-w64 in $cache ($(du -sh "$cache" | cut -f1)), took $(( $(date +%s) - started )) s"

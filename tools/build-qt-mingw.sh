#!/usr/bin/env bash
# Cross-builds the part of Qt that the desktop program needs (Core, Gui,
# Widgets, Test; the Windows and offscreen platforms; the JPEG plugin) for
# 64-bit Windows with Debian's mingw-w64, from Debian's own qt6-base source:
# the same version as the host's qt6-base-dev, whose moc, rcc and uic serve
# as the host tools. Debian packages no Qt for mingw-w64.
#
# The result goes to a cache folder outside the checkout,
#   ${PAINTWELL_QT_MINGW:-~/.cache/paintwell/qt-6.4.2-mingw64}
# and the sources and build tree beside it (<cache>-work, removed at the
# end). A complete cache is left alone. About 30 minutes with two cores.
#
# Build against it with <cache>/lib/cmake/Qt6/qt.toolchain.cmake (a plain
# toolchain file with CMAKE_PREFIX_PATH does not find Qt, whose find root is
# the mingw sysroot).
set -euo pipefail
. "$(dirname "$0")/steps.sh"
. "$(dirname "$0")/debian-source.sh"
qt_version=6.4.2
cache=${PAINTWELL_QT_MINGW:-$HOME/.cache/paintwell/qt-$qt_version-mingw64}
work=$cache-work
stamp=$cache/paintwell-qt-complete

if [ -f "$stamp" ]; then
  echo "Qt $qt_version for mingw-w64 is complete in $cache: nothing to do"
  exit 0
fi

host_version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null) ||
  fail "qt6-base-dev is not installed (tools/install-deps.sh installs it)"
case "$host_version" in
  "$qt_version"+*) ;;
  *) fail "the host's qt6-base-dev is $host_version, not Qt $qt_version" ;;
esac

step "packages"
packages=(dpkg-dev cmake ninja-build g++-mingw-w64-x86-64 qt6-base-dev qt6-base-dev-tools)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

step "source of qt6-base $host_version"
mkdir -p "$work"
cd "$work"
[ -d src ] || debian_source "qt6-base=$host_version" src

# Debian's source drops Qt's copy of the Wintab headers (licence); Wine's
# LGPL ones serve, with the few Wine-only macros they use defined first.
step "Wintab headers from libwine-dev"
wintab=src/src/3rdparty/wintab
if [ ! -f "$wintab/pktdef.h" ]; then
  rm -rf wine
  mkdir -p wine "$wintab"
  (cd wine && apt-get download -qq libwine-dev && dpkg-deb -x libwine-dev_*.deb root)
  wine_include=$(dirname "$(find wine/root -name wintab.h -path '*windows*' | head -1)")
  [ -f "$wine_include/pktdef.h" ] || fail "libwine-dev holds no wintab.h and pktdef.h"
  cp "$wine_include/wintab.h" "$wintab/wine_wintab.h"
  cp "$wine_include/pktdef.h" "$wintab/pktdef.h"
  cat >"$wintab/wintab.h" <<'EOF'
/* Wine's wintab.h, with the Wine-only macros it uses defined for mingw-w64. */
#ifndef PAINTWELL_WINTAB_H
#define PAINTWELL_WINTAB_H
#include <windows.h>
#ifndef DECL_WINELIB_TYPE_AW
#ifdef UNICODE
#define WINELIB_NAME_AW(func) func##W
#else
#define WINELIB_NAME_AW(func) func##A
#endif
#define DECL_WINELIB_TYPE_AW(type) typedef WINELIB_NAME_AW(type) type;
#endif
/* The calling convention the original header names API. */
#ifndef API
#define API WINAPI
#endif
#include "wine_wintab.h"
#endif
EOF
fi

# The toolchain Qt is built with; qt.toolchain.cmake loads it again for
# every project built against this Qt, so it lives in the cache.
mkdir -p "$cache"
cat >"$cache/mingw-w64-toolchain.cmake" <<'EOF'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_STRIP x86_64-w64-mingw32-strip)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The compiler's runtime inside every DLL and program (Qt refuses its
# static_runtime feature for a shared build): no libstdc++, libgcc or
# winpthread DLLs to ship.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -static)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -static)
EOF

step "configure"
features=(
  -DFEATURE_dbus=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_xml=OFF
  -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_vulkan=OFF
  -DFEATURE_zstd=OFF -DFEATURE_icu=OFF -DFEATURE_glib=OFF -DFEATURE_pkg_config=OFF
  # Without INPUT_opengl=no the Windows plugin still expects dynamic OpenGL.
  -DFEATURE_opengl=OFF -DINPUT_opengl=no
  # The copies the source carries, so that nothing is needed from the sysroot.
  -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
  -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF
  -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_libb2=OFF
  -DFEATURE_jpeg=ON
)
configure=(
  -DCMAKE_TOOLCHAIN_FILE="$cache/mingw-w64-toolchain.cmake"
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$cache"
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  -DQT_QMAKE_TARGET_MKSPEC=win32-g++ -DBUILD_SHARED_LIBS=ON
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  "${features[@]}"
)
# An interrupted run resumes its build tree when configured the same way.
if [ -f build/build.ninja ] && [ "$(cat configured 2>/dev/null)" = "${configure[*]}" ]; then
  echo "resuming the build tree of an earlier run"
else
  rm -rf build configured
  cmake -S src -B build -G Ninja "${configure[@]}" >configure.log 2>&1 ||
    fail "configure failed: see $work/configure.log"
  echo "${configure[*]}" >configured
fi

step "build (ninja -j$jobs)"
cmake --build build --parallel "$jobs" >build.log 2>&1 || fail "build failed: see $work/build.log"

step "install into $cache"
cmake --install build --strip >install.log 2>&1 || fail "install failed: see $work/install.log"
# What a release must ship beside the DLLs: Debian's record of every
# licence in the source (Qt's own and the bundled libraries') and the
# LGPL's text.
mkdir -p "$cache/licences"
cp src/debian/copyright "$cache/licences/qt6-base-copyright.txt"
cp src/LICENSES/LGPL-3.0-only.txt src/LICENSES/GPL-3.0-only.txt "$cache/licences/"
echo "$host_version" >"$stamp"
cd /
rm -rf "$work"
step "Qt $qt_version for mingw-w64 in $cache ($(du -sh "$cache" | cut -f1)), took $(( ($(date +%s) - started) / 60 )) min"

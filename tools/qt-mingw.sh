# shellcheck shell=bash
# Sourced by tools/release.sh and tools/windows-check.sh: the Qt for
# mingw-w64 that tools/build-qt-mingw.sh makes, and a build of Paintwell
# against it.
qt_mingw=${PAINTWELL_QT_MINGW:-$HOME/.cache/paintwell/qt-6.4.2-mingw64}

qt_mingw_complete() { [ -f "$qt_mingw/paintwell-qt-complete" ]; }

# qt_mingw_unpack: when the cache is missing, unpacks it from the copy
# machines share beside the checkout, if there is one. Only into the
# default place: its CMake files name that path.
qt_mingw_archive=../shared/cache/qt-6.4.2-mingw64.tar.xz
qt_mingw_unpack() {
  qt_mingw_complete && return 0
  [ -f "$qt_mingw_archive" ] && [ "$qt_mingw" = "$HOME/.cache/paintwell/qt-6.4.2-mingw64" ] || return 0
  echo "unpacking $qt_mingw_archive into $(dirname "$qt_mingw")"
  mkdir -p "$(dirname "$qt_mingw")"
  tar -xJf "$qt_mingw_archive" -C "$(dirname "$qt_mingw")"
}

# configure_qt_mingw BUILD_DIR [CMAKE_ARG]...
# Programs the build runs (the skin drawer, the tests) go through Wine,
# finding Qt's DLLs on its path, with no display, and the host's DejaVu
# fonts, which the skin drawn on Linux uses too (Qt's offscreen platform on
# Windows reads fonts from a folder only). Wine hands QT_* variables to
# Windows programs only under a WINE prefix.
configure_qt_mingw() {
  local dir=$1
  shift
  local qt_bin fonts
  qt_bin="Z:${qt_mingw//\//\\}\\bin"
  fonts='Z:\usr\share\fonts\truetype\dejavu'
  cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$qt_mingw/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="env;WINEPATH=$qt_bin;WINEQT_QPA_PLATFORM=offscreen;WINEQT_QPA_FONTDIR=$fonts;wine" -DZLIB_USE_STATIC_LIBS=ON "$@" >/dev/null
}

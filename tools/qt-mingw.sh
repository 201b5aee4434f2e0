# shellcheck shell=bash
# Sourced by tools/release.sh and tools/windows-check.sh: the Qt for
# mingw-w64 that tools/build-qt-mingw.sh makes, and a build of Paintwell
# against it.
qt_mingw=${PAINTWELL_QT_MINGW:-$HOME/.cache/paintwell/qt-6.4.2-mingw64}

qt_mingw_complete() { [ -f "$qt_mingw/paintwell-qt-complete" ]; }

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

#!/usr/bin/env bash
# Makes the release archives into out/, from Release builds without tests:
#   Paintwell-<version>-linux-x86_64.tar.gz  both programs, Media/, README,
#                                            licences (Qt from the system)
#   Paintwell-<version>-win64.zip            the same for Windows, with the
#                                            Qt DLLs and plugins it loads
#   Paintwell-<version>-win64-setup.exe      those files installed into each
#                                            simulator found
#   SHA256SUMS                               the checksums of those three
# The Windows files need the Qt of tools/build-qt-mingw.sh. The archives
# unpack into the program folder, <FSX>/Varnel Software/FSX Paintwell.
set -euo pipefail
. "$(dirname "$0")/steps.sh"
cd "$(dirname "$0")/.."
. tools/qt-mingw.sh
qt_mingw_unpack
qt_mingw_complete || fail "no Qt for mingw-w64 in $qt_mingw: run tools/build-qt-mingw.sh first (about 30 minutes)"
tools/install-deps.sh g++-mingw-w64-x86-64 libz-mingw-w64-dev wine wine64 nsis
tools/build-libarchive-mingw.sh
mkdir -p out
made=()

# pack BUILD_DIR: the archives CPack makes there, copied to out/.
pack() {
  (cd "$1" && cpack >/dev/null)
  local archive count=${#made[@]}
  while IFS= read -r archive; do
    cp "$archive" out/
    made+=("$(basename "$archive")")
    echo "out/$(basename "$archive") ($(du -h "$archive" | cut -f1))"
  done < <(find "$1" -maxdepth 1 -type f -name 'Paintwell-*' -newer "$1/CPackConfig.cmake")
  [ ${#made[@]} -gt "$count" ] || fail "cpack made no archive in $1"
}

cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-release -j"$jobs" >/dev/null
pack build-release

export WINEPREFIX=$PWD/build-release-win/wine WINEDEBUG=-all DISPLAY=''
configure_qt_mingw build-release-win -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build build-release-win -j"$jobs" >/dev/null
pack build-release-win
# libarchive and its compressors are linked into the programs: the zip
# ships no DLL of theirs, so none may be asked for.
win_zip=$(printf 'out/%s\n' "${made[@]}" | grep -- '-win64\.zip$')
programs=$(mktemp -d)
unzip -q "$win_zip" '*.exe' -d "$programs"
for exe in "$programs"/*.exe; do
  if x86_64-w64-mingw32-objdump -p "$exe" | grep -iE 'DLL Name: .*(archive|lzma|bz2|zlib)'; then
    fail "$(basename "$exe") in $win_zip needs a DLL that the zip does not hold"
  fi
done
rm -rf "$programs"
(cd out && sha256sum "${made[@]}" >SHA256SUMS)
echo "out/SHA256SUMS"

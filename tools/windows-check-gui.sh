#!/usr/bin/env bash
# The desktop program's part of tools/windows-check.sh (which runs it when
# the Qt of tools/build-qt-mingw.sh is there): builds paintwell.exe and the
# Qt Test programs against that Qt into build-win-gui/, runs the tests under
# Wine, makes the release zip and setup, unpacks the zip into a demo simulator's program
# folder and starts paintwell.exe from there under Wine on Xvfb. Fails
# unless the program stays up and its main screen has the Linux program's
# size, outline and picture. Keeps the screen in docs/windows-main.png.
#   tools/windows-check-gui.sh [NATIVE_BUILD]   (default: build)
set -euo pipefail
steps_name=windows-check
. "$(dirname "$0")/steps.sh"
cd "$(dirname "$0")/.."
. tools/qt-mingw.sh
. tools/xvfb.sh
repo=$(pwd)
native=${1:-build}
cross=build-win-gui
work=$repo/$cross/desktop

qt_mingw_complete || fail "no Qt for mingw-w64 in $qt_mingw: run tools/build-qt-mingw.sh"
tools/build-libarchive-mingw.sh

export WINEPREFIX=$repo/$cross/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

step "Linux desktop program ($native)"
cmake --build "$native" -j"$jobs" --target paintwell paintwell_media paintwell_screen_check make_demo >/dev/null

step "Windows cross build with Qt ($cross): paintwell.exe, Qt Test programs"
configure_qt_mingw "$cross" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAINTWELL_WERROR=ON \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG"
DISPLAY='' cmake --build "$cross" -j"$jobs" --target paintwell paintwell_ui_tests paintwell_screen_tests >/dev/null

step "Qt Test programs under Wine (offscreen)"
# Wine prints nothing when standard output is no terminal: the programs
# write their results to files, shown here when a test fails.
if ! DISPLAY='' ctest --test-dir "$cross" -R '^paintwell_(ui|screen)_tests$' --output-on-failure; then
  cat "$cross"/tests/ui/paintwell_ui_tests.txt "$cross"/tests/app/screens/paintwell_screen_tests.txt >&2 || true
  fail "the Qt Test programs failed under Wine"
fi

step "release zip and setup"
rm -f "$cross"/Paintwell-*-win64.zip "$cross"/Paintwell-*-win64-setup.exe
(cd "$cross" && cpack >/dev/null)
zip=$(ls "$cross"/Paintwell-*-win64.zip)
echo "$zip: $(du -h "$zip" | cut -f1)"

step "both programs on a demo simulator, on Xvfb"
rm -rf "$work"
mkdir -p "$work"
make_program_folder() {
  local root=$work/$1/FSX
  "$native/tools/make_demo/make_demo" "$root" >/dev/null
  mkdir -p "$root/Varnel Software/FSX Paintwell"
  echo "$root/Varnel Software/FSX Paintwell"
}
linux_program=$(make_program_folder linux)
cp "$native/paintwell" "$linux_program/"
cp -r "$native/Media" "$linux_program/"
windows_program=$(make_program_folder windows)
(cd "$windows_program" && unzip -q "$repo/$zip")

screen_check=$native/tools/screenshots/paintwell_screen_check
start_xvfb "$work"
QT_QPA_PLATFORM=xcb "$screen_check" shoot "$work/linux.png" "$linux_program/paintwell" ||
  fail "the Linux program did not show its main screen"
QT_QPA_PLATFORM=xcb "$screen_check" shoot "$work/windows.png" wine "$windows_program/paintwell.exe" ||
  fail "paintwell.exe from the release zip did not show its main screen under Wine"
"$screen_check" compare "$work/linux.png" "$work/windows.png" docs/windows-main.png ||
  fail "the Windows program's main screen differs from the Linux program's (see $work/*.png)"
step "the release zip's paintwell-cli.exe installs a demo download"
"$native/tools/make_demo/make_demo" --downloads "$work/downloads" >/dev/null
rcf=$(winepath -w "$work/windows/FSX/Paintwell Trainer.rcf" 2>/dev/null)
wine "$windows_program/paintwell-cli.exe" import "$(winepath -w "$work/downloads/Paintwell_Trainer_Midnight.zip" 2>/dev/null)" \
  >"$work/import.log" 2>&1 || fail "the release's paintwell-cli.exe did not import a zip: $(cat "$work/import.log")"
wine "$windows_program/paintwell-cli.exe" list "$rcf" 2>/dev/null | grep -q "Paintwell Trainer Midnight" ||
  fail "the imported repaint is not listed"
step "desktop program checked: docs/windows-main.png"

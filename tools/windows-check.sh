#!/usr/bin/env bash
# The Windows build, checked here without Windows: cross-compiles the core,
# its tests and paintwell-cli.exe with mingw-w64, runs every test under Wine
# (headless), then packs, installs and removes repaints with paintwell-cli.exe
# and with the Linux paintwell-cli on two copies of the same simulator tree:
# the packages and Aircraft.cfg must come out byte for byte the same.
# The same downloads are imported on both (zip and 7z).
# Then the desktop program, when the Qt of tools/build-qt-mingw.sh is there
# (skipped, and said so, when not): paintwell.exe and the widget tests built
# against it, the tests run under Wine, the release zip unpacked into a demo
# simulator and started under Wine and Xvfb, its screen compared with the
# Linux program's (docs/windows-main.png keeps it), and the setup installed,
# upgraded and uninstalled (tools/windows-check-installer.sh). A missing Qt
# cache is first unpacked from ../shared/cache/ when that holds it; a
# missing libarchive cache is built (tools/build-libarchive-mingw.sh).
# Exits non-zero on any failure or difference.
#
# Environment: PAINTWELL_NATIVE_BUILD (default "build") is the Linux build
# whose paintwell-cli and make_demo are used; it is configured and built
# when missing. The cross builds go to build-win/ and build-win-gui/.
set -euo pipefail
. "$(dirname "$0")/steps.sh"
cd "$(dirname "$0")/.."
. tools/qt-mingw.sh
repo=$(pwd)
native=${PAINTWELL_NATIVE_BUILD:-build}
cross=build-win

step "packages"
# fonts-wine: the Tahoma a Wine user has (wine recommends it); DejaVu: the
# font the skin is drawn with, under Wine as on Linux.
packages=(cmake make g++ zlib1g-dev libarchive-dev libgtest-dev googletest
          g++-mingw-w64-x86-64 libz-mingw-w64-dev wine wine64 fonts-wine fonts-dejavu-core
          xvfb unzip xdotool nsis)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

step "Linux build ($native): paintwell-cli, make_demo"
# Configured as tools/test.sh does when it is new; an existing one keeps its
# options and is only brought up to date.
native_type=()
[ -f "$native/CMakeCache.txt" ] || native_type=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAINTWELL_WERROR=ON)
cmake -S . -B "$native" "${native_type[@]}" >/dev/null
cmake --build "$native" -j"$jobs" --target paintwell-cli make_demo >/dev/null
linux_cli=$repo/$native/app/paintwell-cli
make_demo=$repo/$native/tools/make_demo/make_demo

# The static libarchive both cross builds link (a few minutes, once).
step "libarchive for mingw-w64"
tools/build-libarchive-mingw.sh

step "Windows cross build ($cross): core, tests, paintwell-cli.exe"
# -O2 as the Linux build has it (GCC 12 gives false -Wrestrict errors at -O3),
# without debug information, which only slows the build down.
toolchain=()
[ -f "$cross/CMakeCache.txt" ] || toolchain=(-DCMAKE_TOOLCHAIN_FILE=tools/mingw-w64.cmake)
optimised=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAINTWELL_WERROR=ON
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG")
cmake -S . -B "$cross" "${toolchain[@]}" -DPAINTWELL_GUI=OFF "${optimised[@]}" >/dev/null
cmake --build "$cross" -j"$jobs" --target paintwell_tests paintwell-cli >/dev/null
windows_cli=$repo/$cross/app/paintwell-cli.exe

# Wine without a display, in a prefix of its own; the C.UTF-8 locale gives
# the code page 1252 that the simulator's users have.
export WINEPREFIX=$repo/$cross/wine WINEDEBUG=-all DISPLAY= WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
step "Wine prefix"
wineboot -i >/dev/null 2>&1
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

step "core tests under Wine"
ctest --test-dir "$cross" --output-on-failure

step "round trip: pack, install, remove, import"
work=$repo/$cross/round-trip
rm -rf "$work"
mkdir -p "$work"
to_windows() { winepath -w "$1" 2>/dev/null; }

# One simulator per build, the programs installed two folders below the
# root, as users have them, so that each finds FSX.EXE by itself.
make_tree() {
  local root=$1 program=$2
  "$make_demo" "$root" >/dev/null
  "$make_demo" --downloads "$root/../downloads" >/dev/null
  local plane="$root/SimObjects/Airplanes/Paintwell Trainer"
  # A texture file named with an accented letter (UTF-8 on disk, as both
  # builds meet it).
  printf 'd\xe9cor' >"$plane/Texture.Sunrise/D$(printf '\xc3\xa9')cor.bmp"
  # A preview picture whose name reaches the program as an argument with
  # letters outside ASCII.
  cp "$plane/Texture.Glacier/trainer_wing_t.bmp" "$root/"$'Aper\xc3\xa7u \xe2\x82\xac.bmp'
  mkdir -p "$root/Varnel Software/FSX Paintwell"
  cp "$program" "$root/Varnel Software/FSX Paintwell/"
}
make_tree "$work/linux/FSX" "$linux_cli"
make_tree "$work/windows/FSX" "$windows_cli"

# Runs the same commands on one tree; $1: linux or windows. What `list`
# prints goes to <side>.list, the rest to <side>.log.
run_trip() {
  local side=$1 root="$work/$1/FSX" win_root=""
  local cli=("$root/Varnel Software/FSX Paintwell/paintwell-cli")
  if [ "$side" = windows ]; then
    cli=(wine "$root/Varnel Software/FSX Paintwell/paintwell-cli.exe")
    win_root=$(to_windows "$root")
  fi
  at() {
    if [ -n "$win_root" ]; then echo "$win_root\\${1//\//\\}"; else echo "$root/$1"; fi
  }
  run() {
    "${cli[@]}" "$@" >>"$work/$side.log" 2>&1 || fail "$side: paintwell-cli $* failed: $(cat "$work/$side.log")"
  }
  local rcf plane="SimObjects/Airplanes/Paintwell Trainer"
  rcf=$(at "Paintwell Trainer.rcf")
  "${cli[@]}" list "$rcf" >>"$work/$side.list" || fail "$side: list failed"
  run pack "$rcf" 1 --preview "$(at $'Aper\xc3\xa7u \xe2\x82\xac.bmp')"
  run install "$rcf" --delete "$(at "$plane/Downloads/Emerald_Isles_Flying_Club_Repaint.pkg")" \
    "$(at "$plane/Downloads/Crimson_Aerobatics_Repaint.pkg")"
  "${cli[@]}" list "$rcf" >>"$work/$side.list" || fail "$side: list failed"
  run remove "$rcf" 2 3
  "${cli[@]}" list "$rcf" >>"$work/$side.list" || fail "$side: list failed"
  # Two downloads (a zip of two repaints, an LZMA2 7z), their aircraft
  # found in the library.
  local downloads="$root/../downloads"
  [ -z "$win_root" ] || downloads=$(to_windows "$work/$side/downloads")
  local sep=/
  [ -z "$win_root" ] || sep='\'
  run import "$downloads${sep}Paintwell_Trainer_Aurora_and_Cobalt.zip" "$downloads${sep}Paintwell_Trainer_Lagoon.7z"
  "${cli[@]}" list "$rcf" >>"$work/$side.list" || fail "$side: list failed"
}
run_trip linux
run_trip windows

step "comparing"
different=0
compare() {
  local rel=$1
  if ! cmp -s "$work/linux/FSX/$rel" "$work/windows/FSX/$rel"; then
    echo "DIFFERENT: $rel" >&2
    different=1
  fi
}
plane="SimObjects/Airplanes/Paintwell Trainer"
[ -f "$work/linux/FSX/$plane/Uploads/Sunrise_Air_Repaint.pkg" ] || fail "the Linux build made no package"
compare "$plane/Uploads/Sunrise_Air_Repaint.pkg"
compare "$plane/aircraft.cfg"
# Every other file of the aircraft too (names and bytes), but the log and
# the restore points, which carry the time they were made in their records
# and names.
list_files() { (cd "$1/$plane" && find . -type f ! -name Paintwell.log ! -path './Paintwell.history/*' | LC_ALL=C sort); }
if ! diff <(list_files "$work/linux/FSX") <(list_files "$work/windows/FSX") >&2; then
  echo "DIFFERENT: the aircraft's files" >&2
  different=1
fi
while IFS= read -r rel; do
  case "$rel" in
    ./aircraft.cfg | ./Uploads/Sunrise_Air_Repaint.pkg) ;;  # compared above
    *) compare "$plane/${rel#./}" ;;
  esac
done < <(list_files "$work/linux/FSX")
if ! diff <(cat "$work/linux.list") <(tr -d '\r' <"$work/windows.list") >&2; then
  echo "DIFFERENT: the entries paintwell-cli lists" >&2
  different=1
fi
[ "$different" -eq 0 ] || fail "the Windows build differs from the Linux build"

qt_mingw_unpack
if ! qt_mingw_complete; then
  step "desktop program SKIPPED: no Qt for mingw-w64 in $qt_mingw (tools/build-qt-mingw.sh builds it, about 30 minutes)"
  step "Windows check passed, without the desktop program"
  exit 0
fi
tools/windows-check-gui.sh "$native"
tools/windows-check-installer.sh "$native"
step "Windows check passed"

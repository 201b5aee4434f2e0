#!/usr/bin/env bash
# The setup's part of tools/windows-check.sh, after tools/windows-check-gui.sh
# has made Paintwell-<version>-win64-setup.exe in build-win-gui/. In a fresh
# Wine prefix whose registry names two demo simulators (an FSX, in the
# 32-bit view, and a Prepar3D v5, which has no FSX.EXE) and a Prepar3D v4
# folder without a simulator:
# - the simulator page, kept as docs/installer.png;
# - `setup.exe /S /SIM=<a third simulator>`: the program in those three and
#   no other, a shortcut each, one uninstall entry, .pkg opening the FSX
#   copy; paintwell.exe draws its main screen from there on Xvfb;
# - a package installed with the installed paintwell-cli.exe, then the
#   setup again (an upgrade of every copy), then the setup and Uninstall.exe /S refused
#   while paintwell.exe runs, then Uninstall.exe /S: the program's files,
#   shortcuts and registry entries go; Paintwell.ini and every file of the
#   simulators stay byte for byte;
# - an install from the pages, picking the Prepar3D copy for .pkg files.
#   tools/windows-check-installer.sh [NATIVE_BUILD]   (default: build)
set -euo pipefail
steps_name=windows-check
. "$(dirname "$0")/steps.sh"
cd "$(dirname "$0")/.."
. tools/xvfb.sh
repo=$(pwd)
native=${1:-build}
cross=build-win-gui
work=$repo/$cross/installer
setup=$(ls "$cross"/Paintwell-*-win64-setup.exe 2>/dev/null | head -1)
[ -n "$setup" ] || fail "no setup in $cross: tools/windows-check-gui.sh makes it"
setup=$repo/$setup
zip=$(ls "$repo/$cross"/Paintwell-*-win64.zip | head -1)
echo "$setup: $(du -h "$setup" | cut -f1)"

rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
start_xvfb "$work"
wineboot -i >/dev/null 2>&1
to_windows() { winepath -w "$1" 2>/dev/null; }
regkey() { wine reg query "$1" >/dev/null 2>&1; }

step "demo simulators in the registry"
# Where users have them, on the prefix's drive C: (which keeps the paths on
# docs/installer.png the same in every checkout).
c=$WINEPREFIX/drive_c
fsx="$c/Program Files (x86)/Microsoft Games/Microsoft Flight Simulator X"
p3d="$c/Program Files/Lockheed Martin/Prepar3D v5"
no_sim="$c/Program Files/Lockheed Martin/Prepar3D v4"
other="$c/Games/Other Sim"
"$native/tools/make_demo/make_demo" "$fsx" >/dev/null
"$native/tools/make_demo/make_demo" "$p3d" >/dev/null
mv "$p3d/FSX.EXE" "$p3d/Prepar3D.exe"
# Simulators as users have them before the setup: without the demo's
# Paintwell.ini, the only thing make_demo puts in the program's folder.
rm -rf "$fsx/Varnel Software" "$p3d/Varnel Software"
mkdir -p "$no_sim" "$other"
cp "$fsx/FSX.EXE" "$other/"
wine reg add 'HKLM\SOFTWARE\Wow6432Node\Microsoft\Microsoft Games\Flight Simulator\10.0' \
  /v SetupPath /d "$(to_windows "$fsx")\\" /f >/dev/null 2>&1
wine reg add 'HKLM\SOFTWARE\Lockheed Martin\Prepar3D v5' /v SetupPath /d "$(to_windows "$p3d")" /f >/dev/null 2>&1
wine reg add 'HKLM\SOFTWARE\Lockheed Martin\Prepar3D v4' /v SetupPath /d "$(to_windows "$no_sim")" /f >/dev/null 2>&1
# Every file of the simulators but the program folders, with its checksum.
snapshot() {
  local root
  for root in "$fsx" "$p3d" "$no_sim" "$other"; do
    (cd "$root" && find . -type f ! -path '*/Varnel Software/*' -print0 | LC_ALL=C sort -z | xargs -0 sha256sum)
  done
}

screen_check=$native/tools/screenshots/paintwell_screen_check
step "the simulator page: docs/installer.png"
# A dialog does not follow a drag at its edge as the skinned window does:
# the picture, taken before, is what counts.
QT_QPA_PLATFORM=xcb "$screen_check" shoot "$work/setup.png" wine "$setup" || true
[ -f "$work/setup.png" ] || fail "the setup did not show its simulator page"
"$screen_check" compare "$work/setup.png" "$work/setup.png" docs/installer.png >/dev/null ||
  fail "no window on the setup's screen (see $work/setup.png)"
wineserver -k >/dev/null 2>&1 || true
[ -z "$(find "$fsx" "$p3d" -name 'Varnel Software')" ] || fail "the setup installed before it was told to"

step "silent install: FSX, Prepar3D v5 and /SIM=\"Other Sim\""
wine "$setup" /S "/SIM=$(to_windows "$other")" || fail "the silent install failed"
wineserver -w
(cd "$work" && unzip -Z1 "$zip" | grep -v '/$' | LC_ALL=C sort) >"$work/expected"
echo Uninstall.exe >>"$work/expected"
LC_ALL=C sort -o "$work/expected" "$work/expected"
for root in "$fsx" "$p3d" "$other"; do
  diff "$work/expected" <(cd "$root/Varnel Software/FSX Paintwell" 2>/dev/null && find . -type f | sed 's|^\./||' | LC_ALL=C sort) >&2 ||
    fail "$root: the program folder does not hold the zip's files and Uninstall.exe"
done
[ ! -e "$no_sim/Varnel Software" ] || fail "installed into a folder without a simulator"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Paintwell"
diff <(printf '%s\n' "Paintwell (FSX).lnk" "Paintwell (Other Sim).lnk" "Paintwell (Prepar3D v5).lnk") \
  <(ls "$menu" 2>/dev/null | LC_ALL=C sort) >&2 || fail "not one Start-menu shortcut per simulator"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Paintwell'
wine reg query "$uninstall_key" /v UninstallString 2>/dev/null | grep -q 'FSX Paintwell\\Uninstall.exe' ||
  fail "no uninstall entry"
wine reg query 'HKLM\Software\Classes\Paintwell.Package\shell\open\command' 2>/dev/null |
  grep -qF "$(to_windows "$fsx/Varnel Software/FSX Paintwell/paintwell.exe")" ||
  fail ".pkg files do not open with the FSX copy"
wine reg query 'HKLM\Software\Classes\SystemFileAssociations\.7z\shell\Paintwell.Install\command' 2>/dev/null |
  grep -qF "$(to_windows "$fsx/Varnel Software/FSX Paintwell/paintwell.exe")" ||
  fail "7z archives have no Install with Paintwell"

fsx_program="$fsx/Varnel Software/FSX Paintwell"
step "the installed paintwell.exe on Xvfb"
[ -f "$cross/desktop/windows.png" ] || fail "no screen of the zip's program: tools/windows-check-gui.sh takes it"
QT_QPA_PLATFORM=xcb "$screen_check" shoot "$work/installed.png" wine "$fsx_program/paintwell.exe" ||
  fail "the installed paintwell.exe did not show its main screen"
"$screen_check" compare "$cross/desktop/windows.png" "$work/installed.png" "$work/installed-window.png" ||
  fail "the installed program's main screen differs from the zip's (see $work/*.png)"
wineserver -k >/dev/null 2>&1 || true

step "a package installed with the installed program, then an upgrade"
plane='SimObjects\Airplanes\Paintwell Trainer'
wine "$fsx_program/paintwell-cli.exe" install "$(to_windows "$fsx")\\Paintwell Trainer.rcf" \
  "$(to_windows "$fsx")\\$plane\\Downloads\\Crimson_Aerobatics_Repaint.pkg" >"$work/cli.log" 2>&1 ||
  fail "the installed paintwell-cli.exe could not install a package: $(cat "$work/cli.log")"
aircraft="$fsx/SimObjects/Airplanes/Paintwell Trainer"
[ -s "$aircraft/Paintwell.log" ] && [ -n "$(ls -A "$aircraft/Paintwell.history")" ] ||
  fail "the package install left no log or restore point"
# The settings, and the copies of .rcf files the desktop program leaves.
printf '[history]\r\nkeep_points=30\r\n' >"$fsx_program/Paintwell.ini"
cp "$fsx_program/Paintwell.ini" "$work/Paintwell.ini"
touch "$fsx_program/package.rcf" "$fsx_program/tmp.rcf"
snapshot >"$work/before"
# The upgrade mends every copy installed, the /SIM one too.
rm "$other/Varnel Software/FSX Paintwell/paintwell-cli.exe"
wine "$setup" /S || fail "the upgrade failed"
wineserver -w
[ -f "$other/Varnel Software/FSX Paintwell/paintwell-cli.exe" ] || fail "the upgrade left out a copy installed before"
cmp -s "$fsx_program/Paintwell.ini" "$work/Paintwell.ini" || fail "the upgrade changed Paintwell.ini"
diff "$work/before" <(snapshot) >&2 || fail "the upgrade changed the simulators' files"

step "setup and uninstall refused while paintwell.exe runs"
wine "$fsx_program/paintwell.exe" >/dev/null 2>&1 &
sleep 5
status=0
wine "$setup" /S || status=$?
[ "$status" -eq 2 ] || fail "the setup did not stop for the running paintwell.exe (exit status $status)"
# The uninstaller runs a copy of itself from the temporary folder, unless
# told its folder with _?=, unquoted, at the end: a batch file passes that
# through as written.
printf '@echo off\r\n"%s\\Uninstall.exe" /S _?=%s\r\nexit /b %%errorlevel%%\r\n' \
  "$(to_windows "$fsx_program")" "$(to_windows "$fsx_program")" >"$work/uninstall-here.bat"
status=0
wine cmd /c "$(to_windows "$work/uninstall-here.bat")" || status=$?
[ "$status" -eq 2 ] || fail "the uninstaller did not stop for the running paintwell.exe (exit status $status)"
diff "$work/expected" <(cd "$fsx_program" && find . -type f ! -name Paintwell.ini ! -name '*.rcf' | sed 's|^\./||' | LC_ALL=C sort) >&2 ||
  fail "the refused uninstall changed the program folder"
wineserver -k >/dev/null 2>&1 || true
wine "$fsx_program/Uninstall.exe" /S || fail "the uninstaller failed"
wineserver -w
diff <(echo Paintwell.ini) <(ls -A "$fsx_program") >&2 || fail "the uninstall left the program's files, or took Paintwell.ini"
cmp -s "$fsx_program/Paintwell.ini" "$work/Paintwell.ini" || fail "the uninstall changed Paintwell.ini"
for root in "$p3d" "$other"; do
  [ ! -e "$root/Varnel Software" ] || fail "$root: the uninstall left the program folder"
done
diff "$work/before" <(snapshot) >&2 || fail "the uninstall changed the simulators' files"
[ ! -e "$menu" ] || fail "the uninstall left the shortcuts"
for key in "$uninstall_key" 'HKLM\Software\Varnel Software' 'HKLM\Software\Classes\Paintwell.Package' \
  'HKLM\Software\Classes\.pkg' 'HKLM\Software\Classes\SystemFileAssociations\.zip\shell\Paintwell.Install'; do
  ! regkey "$key" || fail "the uninstall left $key"
done

step "an install from the pages: .pkg files open with the copy picked"
wine "$setup" >/dev/null 2>&1 &
for _ in $(seq 120); do xdotool search --name 'Paintwell Setup' >/dev/null 2>&1 && break; sleep 1; done
# Next on the simulator page, then the second simulator on the package
# page (the list has the keyboard) and Install.
sleep 5
xdotool key Return
sleep 5
xdotool key Down Return
for _ in $(seq 120); do regkey "$uninstall_key" && break; sleep 1; done
wineserver -k >/dev/null 2>&1 || true
[ -f "$p3d/Varnel Software/FSX Paintwell/paintwell.exe" ] && [ -f "$fsx_program/paintwell.exe" ] ||
  fail "the install from the pages did not install into both simulators"
wine reg query 'HKLM\Software\Classes\Paintwell.Package\shell\open\command' 2>/dev/null |
  grep -qF "$(to_windows "$p3d/Varnel Software/FSX Paintwell/paintwell.exe")" ||
  fail ".pkg files do not open with the copy picked on the page"
step "setup checked"

# shellcheck shell=bash
# Sourced by tools/windows-check-gui.sh and tools/windows-check-installer.sh.
# start_xvfb DIR: an X server of the script's own for the programs it shows
# (DIR/display gets its number; DISPLAY names it), stopped with Wine when
# the script ends.
start_xvfb() {
  exec 3>"$1/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb 2>/dev/null; wineserver -k >/dev/null 2>&1 || true' EXIT
  for _ in $(seq 50); do [ -s "$1/display" ] && break; sleep 0.1; done
  DISPLAY=:$(head -1 "$1/display")
  export DISPLAY
}

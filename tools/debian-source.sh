# shellcheck shell=bash
# Sourced by the scripts that cross-build a library from Debian's own source
# (tools/build-qt-mingw.sh, tools/build-libarchive-mingw.sh), after
# tools/steps.sh.
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

# apt-get source needs deb-src lines; add them beside the binary ones when
# the machine has none (Debian images ship without).
add_source_lines() {
  local sources=/etc/apt/sources.list.d/paintwell-deb-src.sources
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
      "${sudo_cmd[@]}" tee "$sources" >/dev/null
  elif grep -q '^deb ' /etc/apt/sources.list 2>/dev/null; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list |
      "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/paintwell-deb-src.list >/dev/null
  else
    fail "no Debian source line to derive a deb-src line from"
  fi
  "${sudo_cmd[@]}" apt-get update -qq
}

# debian_source PACKAGE[=VERSION] DIR: the source package unpacked into DIR
# (in the current folder), with Debian's patches applied.
debian_source() {
  local package=$1 dir=$2
  rm -rf download "$dir"
  mkdir download
  if ! apt-get source --print-uris "$package" >/dev/null 2>&1; then
    add_source_lines
  fi
  (cd download && apt-get source -qq "$package" >/dev/null)
  mv download/*/ "$dir"
  rm -rf download
}

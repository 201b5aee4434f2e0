#!/usr/bin/env bash
# Installs the Debian packages the build needs, and those named, only those
# missing.
#   tools/install-deps.sh [PACKAGE]...
set -euo pipefail
packages=(cmake g++ make zlib1g-dev libarchive-dev libgtest-dev qt6-base-dev xvfb xauth fonts-liberation "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"

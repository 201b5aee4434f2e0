#!/usr/bin/env bash
# Retakes docs/main.png, package.png, install.png, remove.png and the
# Hangar's hangar.png, hangar-downloads.png, hangar-library.png and
# hangar-library-search.png, and review.png of two demo downloads: the
# desktop program on a fresh demo simulator tree, under Xvfb.
#   tools/screenshots.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target make_demo paintwell_screenshots
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
"$build/tools/make_demo/make_demo" "$tree/FSX"
program="$tree/FSX/Varnel Software/FSX Paintwell"
mkdir -p "$program"
cp -r "$build/Media" "$program/Media"
# The review of a download with two repaints and of one with a texture
# folder alone, from the demo downloads (an older make_demo has none).
downloads=()
if "$build/tools/make_demo/make_demo" --downloads "$tree/downloads" 2>/dev/null; then
  downloads=("$tree/downloads/Paintwell_Trainer_Aurora_and_Cobalt.zip" "$tree/downloads/Paintwell_Trainer_Sandstone_no_entry.zip")
fi
xvfb-run -a -s "-screen 0 1024x768x24" "$build/tools/screenshots/paintwell_screenshots" "$program" docs "${downloads[@]}"

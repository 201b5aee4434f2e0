#!/usr/bin/env bash
# Installs what is missing, builds, makes the demo simulator tree and runs
# the program on it: the desktop program when there is a display, the
# command line's listing of the demo aircraft otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAINTWELL_BENCH=ON -DPAINTWELL_DEMO=ON
cmake --build build -j"$(nproc)"
demo=build/demo/FSX
program="$demo/Varnel Software/FSX Paintwell"
if [ -x "$program/paintwell" ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$program/paintwell"
fi
echo "The demo aircraft, as paintwell-cli lists it:"
"$program/paintwell-cli" list "$demo/Paintwell Trainer.rcf"

#!/usr/bin/env bash
# Builds everything and runs every test (no display needed).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAINTWELL_WERROR=ON -DPAINTWELL_BENCH=ON -DPAINTWELL_DEMO=ON
cmake --build build -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j"$(nproc)"

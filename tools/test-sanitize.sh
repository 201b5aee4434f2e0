#!/usr/bin/env bash
# Builds the core, the command line and the tests with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs every test under them: an overflow, a
# leak or undefined behaviour fails the run. The Qt program is left out:
# the toolkit's own allocations would drown the report.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAINTWELL_SANITIZE=ON -DPAINTWELL_GUI=OFF -DPAINTWELL_WERROR=ON
cmake --build build-asan -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
ctest --test-dir build-asan --output-on-failure -j"$(nproc)"

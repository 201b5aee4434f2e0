#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each for
# the given number of seconds (default 600), two at a time. New inputs go
# to build-fuzz/corpus/<target>; a crash is saved as build-fuzz/<target>-crash-*
# and ends that target's run with a non-zero status.
#   tools/fuzz.sh [seconds] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(package_reader_fuzz download_fuzz ez_cfg_fuzz profile_fuzz region_data_fuzz xml_tokens_fuzz)
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DPAINTWELL_FUZZ=ON -DBUILD_TESTING=OFF -DPAINTWELL_GUI=OFF
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}"
run() {
  mkdir -p "build-fuzz/corpus/$1"
  build-fuzz/tests/fuzz/"$1" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="build-fuzz/$1-" "build-fuzz/corpus/$1" "tests/fuzz/corpus/$1"
}
status=0
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  run "${targets[i]}" & first=$!
  second=
  if ((i + 1 < ${#targets[@]})); then run "${targets[i + 1]}" & second=$!; fi
  wait "$first" || status=1
  [ -z "$second" ] || wait "$second" || status=1
done
exit $status

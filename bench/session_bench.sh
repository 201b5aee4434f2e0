#!/usr/bin/env bash
# Install and removal through paintwell-cli, two builds against each other:
# each round copies the demo simulator, installs a 48 MB package and removes
# it again, with one build and then the other; the best of the rounds of
# each (processor time) is printed with their ratio.
#
#   bench/session_bench.sh OLD_BUILD NEW_BUILD [rounds, default 5]
# A build folder needs app/paintwell-cli and demo/FSX (PAINTWELL_DEMO=ON).
set -euo pipefail
old=$(cd "$1" && pwd)
new=$(cd "$2" && pwd)
rounds=${3:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
plane="SimObjects/Airplanes/Paintwell Trainer"

# The package: the Sunrise livery with big textures, packed once.
cp -r "$new/demo/FSX" "$work/seed"
head -c $((32 << 20)) /dev/urandom >"$work/seed/$plane/Texture.Sunrise/big1.dds"
head -c $((16 << 20)) /dev/zero >"$work/seed/$plane/Texture.Sunrise/big2.dds"
index=$("$new/app/paintwell-cli" --sim "$work/seed" list "$work/seed/Paintwell Trainer.rcf" | awk -F'\t' '$3 == "Sunrise" {print $1}')
package=$("$new/app/paintwell-cli" --sim "$work/seed" pack "$work/seed/Paintwell Trainer.rcf" "$index" 2>/dev/null)
cp "$package" "$work/big.pkg"
rm -rf "$work/seed/$plane/Uploads" "$work/seed/$plane/Texture.Sunrise/big1.dds" "$work/seed/$plane/Texture.Sunrise/big2.dds"

# Processor time (user + system) of one run: steadier than the wall clock
# on a machine that is busy with other work.
seconds() {
  local TIMEFORMAT='%3U + %3S' spent
  spent=$( { time "$@" >/dev/null 2>&1; } 2>&1) || { echo "failed: $*" >&2; return 1; }
  echo "$spent" | bc
}
best() { printf '%s\n' "$@" | sort -g | head -1; }

declare -A install remove
for round in $(seq 1 "$rounds"); do
  for which in old new; do
    build=${!which}
    rm -rf "$work/FSX" && cp -r "$work/seed" "$work/FSX" && sync
    rcf="$work/FSX/Paintwell Trainer.rcf"
    install[$which]+=" $(seconds "$build/app/paintwell-cli" --sim "$work/FSX" install "$rcf" "$work/big.pkg")"
    last=$("$build/app/paintwell-cli" --sim "$work/FSX" list "$rcf" | tail -1 | cut -f1)
    remove[$which]+=" $(seconds "$build/app/paintwell-cli" --sim "$work/FSX" remove "$rcf" "$last")"
  done
done
for op in install remove; do
  declare -n times=$op
  o=$(best ${times[old]}) n=$(best ${times[new]})
  printf '%-8s old %.3f s  new %.3f s  ratio %.2fx (target <= 1.10x)\n' "$op" "$o" "$n" "$(echo "$n / $o" | bc -l)"
done

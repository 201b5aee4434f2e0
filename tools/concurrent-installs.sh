#!/usr/bin/env bash
# Two paintwell-cli installs at once on one aircraft, twenty rounds, on a
# copy of the demo simulator: no entry and no folder may be lost, no two
# sections may share a number, and each run either succeeds or is refused
# with the lock's message.
#
#   tools/concurrent-installs.sh [build folder, default build] [rounds, default 20]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
rounds=${2:-20}
cli=$build/app/paintwell-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "round $round: $*" >&2; exit 1; }

for round in $(seq 1 "$rounds"); do
  rm -rf "$work/FSX"
  cp -r "$build/demo/FSX" "$work/FSX"
  plane="$work/FSX/SimObjects/Airplanes/Paintwell Trainer"
  rcf="$work/FSX/Paintwell Trainer.rcf"
  before=$("$cli" --sim "$work/FSX" list "$rcf" | wc -l)
  for pkg in Crimson_Aerobatics Emerald_Isles_Flying_Club; do
    "$cli" --sim "$work/FSX" install "$rcf" "$plane/Downloads/${pkg}_Repaint.pkg" >"$work/$pkg.out" 2>"$work/$pkg.err" &
  done
  codes=0
  for job in $(jobs -p); do wait "$job" || codes=$((codes + 1)); done
  for pkg in Crimson_Aerobatics Emerald_Isles_Flying_Club; do
    if ! grep -q . "$work/$pkg.out"; then
      grep -q "the aircraft is being changed by another Paintwell" "$work/$pkg.err" ||
        fail "$pkg neither installed nor refused: $(cat "$work/$pkg.err")"
    fi
  done
  installed=$(cat "$work"/*.out | wc -l)
  [ "$installed" -eq $((2 - codes)) ] || fail "$installed installed, $codes runs failed"
  after=$("$cli" --sim "$work/FSX" list "$rcf" | wc -l)
  [ "$after" -eq $((before + installed)) ] || fail "$before entries before, $installed installed, $after after"
  sections=$(grep -io '^\[fltsim\.[0-9]*\]' "$plane/aircraft.cfg" | tr 'A-Z' 'a-z' | sort)
  [ "$(echo "$sections" | uniq -d)" = "" ] || fail "a section number used twice: $sections"
  while IFS=$'\t' read -r _ _ texture _; do
    [ -d "$plane/Texture.$texture" ] || fail "no folder Texture.$texture"
  done < <("$cli" --sim "$work/FSX" list "$rcf")
  [ -z "$(find "$plane" -maxdepth 1 -name '*.pwtmp' -o -maxdepth 1 -name '*.pwstage')" ] || fail "temporary files left"
done
echo "$rounds rounds of two concurrent installs: nothing lost"

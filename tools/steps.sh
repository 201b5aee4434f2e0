# shellcheck shell=bash
# Sourced by the longer tool scripts: timed steps, one-line failures named
# after the script (or $steps_name), and the number of build jobs: at most
# two, so that a build leaves the machine usable.
started=$(date +%s)
jobs=$(nproc)
[ "$jobs" -gt 2 ] && jobs=2

step() { echo "== $* ($(( $(date +%s) - started )) s)"; }
fail() {
  echo "${steps_name:-$(basename "$0" .sh)}: $*" >&2
  exit 1
}

#!/usr/bin/env bash
# Size of the tests against the product code, in non-blank lines of tracked
# files: tests/**/*.{cpp,cc,h,hpp,py} against *.{cpp,cc,h,hpp} outside
# tests/, tools/ and bench/ (the latter two count as neither). Data files
# under tests/ do not count. The aim: a ratio of at most 0.40.
set -euo pipefail
cd "$(dirname "$0")/.."
count() { xargs -r -d '\n' grep -hcv '^[[:space:]]*$' -- | awk '{ s += $1 } END { print s + 0 }'; }
tests=$(git ls-files -- 'tests/' | grep -E '\.(cpp|cc|h|hpp|py)$' | count)
product=$(git ls-files | grep -E '\.(cpp|cc|h|hpp)$' | grep -vE '^(tests|tools|bench)/' | count)
awk -v t="$tests" -v p="$product" 'BEGIN { printf "tests %d, product %d, ratio %.2f\n", t, p, t / p }'

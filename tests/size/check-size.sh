#!/usr/bin/env bash
# Fails when an interpreter image reaches its size budget.
#   check-size.sh <image> <limit in bytes>
# The packager stores byte offsets in six digits: the stripped image plus
# the first block the build appends must stay below 1,000,000 bytes. The
# limit is set in tests/CMakeLists.txt; the README ("Size budget") says what
# makes the images grow.
set -euo pipefail
exe=$1 limit=$2
size=$(stat -c %s "$exe")
echo "$(basename "$exe"): $size bytes, limit $limit, headroom $((limit - size))"
if [ "$size" -ge "$limit" ]; then
  echo "FAIL: the image has reached its size budget; see the README, \"Size budget\"" >&2
  exit 1
fi

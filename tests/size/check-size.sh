#!/usr/bin/env bash
# Fails when the stripped executable reaches its size budget.
#   check-size.sh <Kestrova.exe> <limit in bytes>
# The packager stores byte offsets in six digits: Kestrova.exe plus the
# decompression stub the build appends must stay below 1,000,000 bytes.
# The limit is set in tests/CMakeLists.txt; the README ("Size budget") says
# what makes the executable grow.
set -euo pipefail
exe=$1 limit=$2
size=$(stat -c %s "$exe")
echo "$(basename "$exe"): $size bytes, limit $limit, headroom $((limit - size))"
if [ "$size" -ge "$limit" ]; then
  echo "FAIL: the executable has reached its size budget; see the README, \"Size budget\"" >&2
  exit 1
fi

#!/usr/bin/env bash
# Builds Kestrova.exe and its Windows unit tests (build/win), and the native
# build of the pure core with sanitizers (build/native).
set -euo pipefail
cd "$(dirname "$0")/.."
what=${1:-all}
if [ "$what" = all ] || [ "$what" = win ]; then
  [ -f build/win/build.ninja ] || cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
  ninja -C build/win
fi
if [ "$what" = all ] || [ "$what" = native ]; then
  [ -f build/native/build.ninja ] || cmake -S . -B build/native -G Ninja -DKES_NATIVE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  ninja -C build/native
fi

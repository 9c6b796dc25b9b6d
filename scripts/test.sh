#!/usr/bin/env bash
# Sets up the machine, builds everything and runs the whole test suite:
# native unit tests (sanitizers), a short run of each fuzz target, then the
# unit and script tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh all
root=$(pwd)/build/testrun
mkdir -p "$root"
. ./scripts/wine-session.sh
wine_session_start "$root"
trap wine_session_stop EXIT
status=0
(cd build/native && ctest --output-on-failure) || status=1
# a short run of each fuzz target (scripts/fuzz.sh runs them longer)
KES_FUZZ_QUIET=1 ./scripts/fuzz.sh all "${KES_FUZZ_SECONDS:-3}" || status=1
(cd build/win && ctest --output-on-failure -j "${KES_TEST_JOBS:-3}" "$@") || status=1
exit $status

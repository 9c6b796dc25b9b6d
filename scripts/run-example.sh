#!/usr/bin/env bash
# Sets up the machine, builds Kestrova.exe and runs an example script under
# Wine, then prints what the script reported.
set -euo pipefail
cd "$(dirname "$0")/.."
example=${1:-examples/hello.kes}
./scripts/setup.sh
./scripts/build.sh win
root=$(pwd)/build/example
mkdir -p "$root"
. ./scripts/wine-session.sh
wine_session_start "$root"
trap wine_session_stop EXIT
report="$root/report.txt"
rm -f "$report"
winpath() { local p; p=$(cd "$(dirname "$1")" && pwd)/$(basename "$1"); printf 'Z:%s' "${p//\//\\}"; }
export REPORT=$(winpath "$report")
set +e
wine build/win/Kestrova.exe "$(winpath "$example")"
rc=$?
set -e
echo "== $example ended with exit code $rc; it reported:"
tr -d '\r' < "$report"

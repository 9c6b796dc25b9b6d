#!/usr/bin/env bash
# Benchmarks (not tests): the interpreter's lines per second on assignment
# lines and on a loop under Wine (beside Wine's VBScript on the same loop), and the native benchmarks of the pure core when built.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh win >/dev/null
root=$(pwd)/build/bench
mkdir -p "$root"
. ./scripts/wine-session.sh
wine_session_start "$root"
trap wine_session_stop EXIT
winpath() { local p; p=$(cd "$(dirname "$1")" && pwd)/$(basename "$1"); printf 'Z:%s' "${p//\//\\}"; }
# The 1000-line body: SET lines with three references each.
body=$(for i in $(seq 1 1000); do printf 'SET V%d=%%X%%-%%Y%%-%%I%%\\r\\n' $((i % 50)); done)
sed "s|#BODY#|$body|" bench/scripts/assign.kes | sed 's/\r*$/\r/' > "$root/assign.kes"
# Arguments: passes of the 1000-line assignment body, loop iterations.
passes=${1:-500}
wine build/win/Kestrova.exe "$(winpath "$root/assign.kes"),$passes,$(winpath "$root/assign.txt")" </dev/null >/dev/null 2>&1 || true
echo "assignment lines: $(tr -d '\r' < "$root/assign.txt")"
# A loop of := , IF and SET lines, beside the same loop in Wine's VBScript.
iterations=${2:-1000000}
sed 's/\r*$/\r/' bench/scripts/loop.kes > "$root/loop.kes"
wine build/win/Kestrova.exe "$(winpath "$root/loop.kes"),$iterations,$(winpath "$root/loop.txt")" </dev/null >/dev/null 2>&1 || true
echo "Kestrova loop:  $(tr -d '\r' < "$root/loop.txt")"
echo "VBScript loop:  $(wine cscript //nologo "$(winpath bench/scripts/loop.vbs)" "$iterations" </dev/null 2>/dev/null | tr -d '\r')"
for b in build/native/bench/native/bench_*; do
  [ -x "$b" ] && "$b"
done
exit 0

#!/usr/bin/env bash
# Runs one automation case: Kestrova.exe runs NAME.kes while the programs the
# case asks for run beside it. Directives in the script's first lines:
#   ; testwin: ARGS    starts tests/tools/testwin with a state file of its own
#                      (may repeat; the n-th writes window<n>.txt)
#   ; notepad:         starts Wine's notepad
#   ; partner: FILE    runs a second Kestrova.exe on partners/FILE at
#                      the same time
#   ; kessrv: MODE     the system folder holds KesSrv.dll (installed), a
#                      library without its hook (nohook) or nothing (missing)
# The script sees KTEST_OUT, KTEST_DIR (a scratch folder), KTEST_SRC and
# KTEST_WINDOW1... (the state files of the test windows) as Windows paths.
# Expected output in NAME.out: what the script (and its partner) wrote, then
# for each test window "--- window N" and its last state.
set -u
exe=$1
testwin=$2
kessrv=$3
nohook=$4
script=$5
name=$(basename "$script" .kes)
dir=$(cd "$(dirname "$script")" && pwd)
work=$(mktemp -d "${KES_TEST_TMP:-/tmp}/ka.$name.XXXXXX")
declare -a pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  [ -n "${KES_KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/scratch"
winpath() { local p; p=$(cd "$(dirname "$1")" && pwd)/$(basename "$1"); printf 'Z:%s' "${p//\//\\}"; }

declare -a wins=() partners=()
notepad=0
mode=""
while IFS= read -r l; do
  l=${l%$'\r'}
  case "$l" in
    "; testwin:"*) wins+=("${l#; testwin:}") ;;
    "; notepad:"*) notepad=1 ;;
    "; partner: "*) partners+=("${l#; partner: }") ;;
    "; kessrv: "*) mode=${l#; kessrv: } ;;
  esac
done < <(head -n 20 "$script")

sys32="$WINEPREFIX/drive_c/windows/system32"
case "$mode" in
  installed) cp "$kessrv" "$sys32/KesSrv.dll" ;;
  nohook) cp "$nohook" "$sys32/KesSrv.dll" ;;
  missing) rm -f "$sys32/KesSrv.dll" ;;
esac

export KTEST_OUT=$(winpath "$work/out.txt")
export KTEST_DIR=$(winpath "$work/scratch")
export KTEST_SRC=$(winpath "$dir/x")
KTEST_SRC=${KTEST_SRC%\\x}
cd "$work"
n=0
for args in "${wins[@]}"; do
  n=$((n + 1))
  export KTEST_WINDOW$n="$(winpath "$work/window$n.txt")"
  # shellcheck disable=SC2086
  eval "set -- $args"
  wine "$testwin" "$(winpath "$work/window$n.txt")" "$@" </dev/null >>"$work/wine.log" 2>&1 &
  pids+=($!)
done
if [ $notepad = 1 ]; then
  wine notepad </dev/null >>"$work/wine.log" 2>&1 &
  pids+=($!)
fi
# the windows that start at once are up before the script begins
for i in $(seq 1 $n); do
  case "${wins[$((i - 1))]}" in *late:*) continue ;; esac
  for _ in $(seq 1 100); do [ -f "$work/window$i.txt" ] && break; sleep 0.1; done
done
for p in "${partners[@]}"; do
  timeout -k 5 "${KES_SCRIPT_TIMEOUT:-60}" wine "$exe" "$(winpath "$dir/partners/$p")" </dev/null >>"$work/wine.log" 2>&1 &
  pids+=($!)
done
timeout -k 5 "${KES_SCRIPT_TIMEOUT:-60}" wine "$exe" "$(winpath "$script")" </dev/null >>"$work/wine.log" 2>&1
rc=$?
# the partners end by themselves; the windows are closed at the end
for p in "${pids[@]:${#wins[@]}+notepad}"; do wait "$p" 2>/dev/null; done
if [ $rc -eq 124 ] || [ $rc -eq 137 ]; then
  echo "TIMEOUT running $script"; cat "$work/wine.log"; exit 1
fi
actual=""
[ -f "$work/out.txt" ] && actual=$(tr -d '\r' < "$work/out.txt")
for i in $(seq 1 $n); do
  actual+=$'\n'"--- window $i"$'\n'
  [ -f "$work/window$i.txt" ] && actual+=$(tr -d '\r' < "$work/window$i.txt")
done
expected="$dir/$name.out"
if [ "${KES_CASE_UPDATE:-}" = 1 ]; then printf '%s\n' "$actual" > "$expected"; fi
want=$(cat "$expected" 2>/dev/null)
if [ "$actual" != "$want" ]; then
  echo "output differs from $expected:"
  diff <(printf '%s\n' "$want") <(printf '%s\n' "$actual") | head -60
  echo "--- wine output:"; tail -20 "$work/wine.log"
  exit 1
fi
exit 0

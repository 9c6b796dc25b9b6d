#!/usr/bin/env bash
# Runs one box case: Kestrova.exe runs NAME.kes in the background while the
# box driver works on its boxes. Steps for the driver come from the lines
# "; drv: STEP" of the script, in order, all in one run of the driver (see
# tests/tools/boxdriver.cpp for the steps). What the driver reported, then
# "--- script", then what the script wrote, is compared with NAME.out, the
# scratch folder's path written as <WORK>. KES_BOX_UPDATE=1 rewrites NAME.out;
# KES_KEEP=1 keeps the work folder. Scripts are in the ANSI code page.
set -u
exe=$1
driver=$2
script=$3
name=$(basename "$script" .kes)
dir=$(cd "$(dirname "$script")" && pwd)
work=$(mktemp -d "${KES_TEST_TMP:-/tmp}/kb.$name.XXXXXX")
[ -n "${KES_KEEP:-}" ] || trap 'rm -rf "$work"' EXIT
mkdir -p "$work/scratch"

winpath() { local p; p=$(cd "$(dirname "$1")" && pwd)/$(basename "$1"); printf 'Z:%s' "${p//\//\\}"; }

declare -a steps=()
while IFS= read -r l; do
  l=${l%$'\r'}
  case "$l" in
    "; drv: "*) steps+=("${l#; drv: }") ;;
  esac
done < "$script"

out="$work/out.txt"
drv="$work/driver.txt"
export KTEST_OUT=$(winpath "$out")
export KTEST_DIR=$(winpath "$work/scratch")
export KTEST_SRC=$(winpath "$dir/x")
KTEST_SRC=${KTEST_SRC%\\x}
# the build folder, with the test programs (kesprobe.exe)
export KTEST_BIN=$(winpath "$(dirname "$exe")/x")
KTEST_BIN=${KTEST_BIN%\\x}
cd "$work"
timeout -k 5 "${KES_SCRIPT_TIMEOUT:-60}" wine "$exe" "$(winpath "$script")" </dev/null >"$work/wine.log" 2>&1 &
kpid=$!
if [ ${#steps[@]} -gt 0 ]; then
  # shot steps name a file in the scratch folder unless KES_SHOTS names a folder
  declare -a args=()
  for s in "${steps[@]}"; do
    case "$s" in
      shot:*) f=${s#shot:}; d=${KES_SHOTS:-$work/scratch}; mkdir -p "$d"; args+=("shot:$(winpath "$d/$f")") ;;
      *) args+=("${s//%KTEST_DIR%/$KTEST_DIR}") ;;
    esac
  done
  timeout -k 5 60 wine "$driver" "$(winpath "$drv")" "${args[@]}" </dev/null >>"$work/wine.log" 2>&1
fi
wait $kpid
rc=$?
if [ $rc -eq 124 ] || [ $rc -eq 137 ]; then
  echo "TIMEOUT running $script"; cat "$work/wine.log"; exit 1
fi
actual=""
[ -f "$drv" ] && actual=$(tr -d '\r' < "$drv")
actual+=$'\n--- script\n'
[ -f "$out" ] && actual+=$(tr -d '\r' < "$out")
# trailing line ends do not count (NAME.out is read the same way)
actual=$(printf '%s' "$actual")
if [ -n "${KES_SHOTS:-}" ]; then
  for b in "$KES_SHOTS"/*.bmp; do [ -f "$b" ] && convert "$b" "${b%.bmp}.png" && rm -f "$b"; done
fi
# the scratch folder's name changes from run to run
wwork=$(winpath "$work")
actual=${actual//"$wwork"/<WORK>}
expected="$dir/$name.out"
if [ "${KES_BOX_UPDATE:-}" = 1 ]; then printf '%s\n' "$actual" > "$expected"; fi
want=$(cat "$expected" 2>/dev/null)
if [ "$actual" != "$want" ]; then
  echo "output differs from $expected:"
  diff <(printf '%s\n' "$want") <(printf '%s\n' "$actual") | head -60
  exit 1
fi
exit 0

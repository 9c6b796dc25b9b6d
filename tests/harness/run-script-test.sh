#!/usr/bin/env bash
# Runs one script test: Kestrova.exe under Wine on tests/scripts/.../NAME.kes.
# The script sees KTEST_OUT (a file to write what it observed), KTEST_DIR (an
# empty scratch folder), KTEST_SRC (the folder of the script) and KTEST_BIN
# (the build folder, with the test programs kesprobe.exe and kestestdll.dll),
# all as Windows paths. Directives in the script's first lines:
#   ; expect-exit: N     exit code (default 0)
#   ; args: TEXT         words after the script path on the command line
#   ; cmdline: TEXT      the whole argument text instead of the script path
#   ; env: NAME=VALUE    an extra environment variable (may repeat)
# Expected output: NAME.out beside the script (compared after turning CR LF
# into LF); without it the script must write nothing.
set -u
exe=$1
script=$2
name=$(basename "$script" .kes)
dir=$(cd "$(dirname "$script")" && pwd)
work=$(mktemp -d "${KES_TEST_TMP:-/tmp}/kt.$name.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/scratch"

winpath() { local p; p=$(cd "$(dirname "$1")" && pwd)/$(basename "$1"); printf 'Z:%s' "${p//\//\\}"; }

expect_exit=0
args=""
cmdline=""
declare -a envs=()
while IFS= read -r l; do
  case "$l" in
    "; expect-exit:"*) expect_exit=$(echo "${l#*:}" | tr -d ' \r') ;;
    "; args:"*) args="${l#*: }"; args="${args%$'\r'}" ;;
    "; cmdline:"*) cmdline="${l#*: }"; cmdline="${cmdline%$'\r'}" ;;
    "; env:"*) e="${l#*: }"; envs+=("${e%$'\r'}") ;;
  esac
done < <(head -n 20 "$script")

out="$work/out.txt"
export KTEST_OUT=$(winpath "$out")
export KTEST_DIR=$(winpath "$work/scratch")
export KTEST_SRC=$(winpath "$dir/x")
KTEST_SRC=${KTEST_SRC%\\x}
export KTEST_BIN=$(winpath "$(dirname "$exe")/x")
KTEST_BIN=${KTEST_BIN%\\x}
for e in "${envs[@]}"; do export "${e?}"; done

winscript=$(winpath "$script")
if [ -n "$cmdline" ]; then
  eval "set -- $cmdline"
else
  # Wine joins its arguments with spaces into the command line; a word
  # with spaces would be quoted, so the extra arguments go as single words.
  # shellcheck disable=SC2086
  set -- "$winscript" $args
fi
cd "$work"
timeout -k 5 "${KES_SCRIPT_TIMEOUT:-60}" wine "$exe" "$@" </dev/null >"$work/wine.log" 2>&1
rc=$?
if [ $rc -eq 124 ] || [ $rc -eq 137 ]; then
  echo "TIMEOUT running $script"; cat "$work/wine.log"; exit 1
fi

fail=0
if [ "$rc" != "$((expect_exit & 255))" ]; then
  echo "exit code $rc, expected $expect_exit"
  fail=1
fi
expected="$dir/$name.out"
actual=""
[ -f "$out" ] && actual=$(tr -d '\r' < "$out")
want=""
[ -f "$expected" ] && want=$(tr -d '\r' < "$expected")
if [ "$actual" != "$want" ]; then
  echo "output differs from $expected:"
  diff <(printf '%s\n' "$want") <(printf '%s\n' "$actual") | head -50
  fail=1
fi
if [ $fail -ne 0 ]; then
  echo "--- wine output:"; tail -20 "$work/wine.log"
fi
exit $fail

# Helpers for scenario tests, sourced by tests/scenarios/*.sh. They run
# inside the Wine session of the test run; each scenario gets a scratch
# folder $S (removed at the end) and reports failures with fail.
set -u
EXE=$1
S=$(mktemp -d "${KES_TEST_TMP:-/tmp}/sc.XXXXXX")
[ -n "${KES_KEEP:-}" ] || trap 'rm -rf "$S"' EXIT
FAILED=0
winpath() { local p; p=$(cd "$(dirname "$1")" && pwd)/$(basename "$1"); printf 'Z:%s' "${p//\//\\}"; }
# run_kes ARGS...: runs Kestrova.exe with a timeout; sets RC.
run_kes() {
  timeout -k 5 "${KES_SCRIPT_TIMEOUT:-60}" wine "$EXE" "$@" </dev/null >>"$S/wine.log" 2>&1
  RC=$?
}
fail() { echo "FAIL: $*"; FAILED=1; }
expect_eq() { [ "$1" = "$2" ] || fail "$3: expected [$2], got [$1]"; }
# crlf-free content of a file
content() { [ -f "$1" ] && tr -d '\r' < "$1"; }
finish() {
  if [ $FAILED -ne 0 ]; then echo "--- wine output:"; tail -20 "$S/wine.log"; fi
  exit $FAILED
}

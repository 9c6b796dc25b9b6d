#!/usr/bin/env bash
# Runs a Windows test binary under Wine with its output in a file, so that
# a Wine helper process that outlives it cannot hold ctest's pipe open.
set -u
log=$(mktemp "${KES_TEST_TMP:-/tmp}/wine-run.XXXXXX")
timeout -k 5 "${KES_UNIT_TIMEOUT:-600}" wine "$@" </dev/null >"$log" 2>&1
rc=$?
cat "$log"
rm -f "$log"
exit $rc

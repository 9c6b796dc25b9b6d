#!/usr/bin/env bash
# Loader and runner cases that need files prepared outside a script: an
# empty script file and a relative script name.
. "$(dirname "$0")/../harness/scenario-lib.sh"
export KTEST_OUT=$(winpath "$S/out.txt")

# An empty script file runs nothing, sets no error code and is deleted.
: > "$S/empty.kes"
run_kes "$(winpath "$S/empty.kes")"
expect_eq "$RC" 0 "empty script exit code"
[ -e "$S/empty.kes" ] && fail "the empty script file was not deleted"
printf 'CALL %%KTEST_DIR%%\\empty2.kes\r\nAPPEND %%KTEST_OUT%%,call of an empty script: error %%ERROR%%\r\n' > "$S/c.kes"
: > "$S/empty2.kes"
KTEST_DIR=$(winpath "$S/x"); export KTEST_DIR=${KTEST_DIR%\\x}
run_kes "$(winpath "$S/c.kes")"
expect_eq "$(content "$S/out.txt")" "call of an empty script: error 0" "CALL of an empty script"
rm -f "$S/out.txt"

# A relative name is an address, not a file of the current folder (which
# is the executable folder once the program runs).
mkdir -p "$S/app"
cp "$EXE" "$S/app/Kestrova.exe"
printf 'APPEND %%KTEST_OUT%%,wrong: a relative name was read from the folder\r\n' > "$S/app/rel.kes"
(cd "$S/app" && timeout -k 5 60 wine "$S/app/Kestrova.exe" rel.kes </dev/null >>"$S/wine.log" 2>&1)
expect_eq "$(content "$S/out.txt")" "" "relative script name"
printf 'CALL rel.kes\r\nAPPEND %%KTEST_OUT%%,CALL of a relative name: error %%ERROR%%\r\n' > "$S/app/r2.kes"
run_kes "$(winpath "$S/app/r2.kes")"
expect_eq "$(content "$S/out.txt")" "CALL of a relative name: error 53" "CALL of a relative name"
rm -f "$S/out.txt"

# REM alone is no comment: the word has no handler, and the log shows the
# line after "Syntax : ".
mkdir -p "$S/log"
printf 'DIRLOG %s\r\nREM\r\nREM this is a comment\r\n' "$(winpath "$S/log")" > "$S/rem.kes"
run_kes "$(winpath "$S/rem.kes")"
expect_eq "$RC" 1 "REM alone exit code"
log=$(cat "$S"/log/* 2>/dev/null | tr -d '\r')
case "$log" in
  *"> Syntax : REM") ;;
  *) fail "REM alone in the log: [$log]" ;;
esac
finish

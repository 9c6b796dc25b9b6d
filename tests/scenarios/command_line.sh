#!/usr/bin/env bash
# Command-line forms: no arguments runs Kestrova.INI beside the executable;
# /c (any case) runs the command text with "&&" line breaks; the TRACE word.
. "$(dirname "$0")/../harness/scenario-lib.sh"
mkdir -p "$S/app"
cp "$EXE" "$S/app/Kestrova.exe"
export KTEST_OUT=$(winpath "$S/out.txt")
printf 'APPEND %%KTEST_OUT%%,ini ran from %%HOMEDIR%%\r\n' > "$S/app/Kestrova.INI"
(cd "$S" && timeout 60 wine "$S/app/Kestrova.exe" </dev/null >>"$S/wine.log" 2>&1)
expect_eq "$(content "$S/out.txt")" "ini ran from $(winpath "$S/app")" "no arguments"

rm -f "$S/out.txt"
run_kes /c APPEND %KTEST_OUT%,a '&&' APPEND %KTEST_OUT%,[b]
expect_eq "$(content "$S/out.txt" | od -c | head -2 | tr -s ' ')" "$(printf 'a \n[b]\n' | od -c | head -2 | tr -s ' ')" "/c with &&"
expect_eq "$RC" 0 "/c exit code"

rm -f "$S/out.txt"
# (the trace window opens step by step; TRACE HIGH lets the lines run)
printf 'TRACE HIGH\r\nAPPEND %%KTEST_OUT%%,traced script ran\r\n' > "$S/t.kes"
run_kes "$(winpath "$S/t.kes")" TRACE
expect_eq "$(content "$S/out.txt")" "traced script ran" "TRACE word removed"

rm -f "$S/out.txt"
printf 'APPEND %%KTEST_OUT%%,%%ARG1%%-%%ARG2%%-%%NARG%%\r\n' > "$S/a.kes"
run_kes "$(winpath "$S/a.kes"),x,y"
expect_eq "$(content "$S/out.txt")" "x-y-2" "script arguments"

rm -f "$S/out.txt"
printf 'SET ERRORLEVEL=0\r\nnosuchword\r\n' > "$S/e.kes"
run_kes "$(winpath "$S/e.kes")"
expect_eq "$RC" 1 "exit code is the error code"
run_kes "$(winpath "$S/missing.kes")"
expect_eq "$RC" 0 "a missing script is not reported on the command line"
finish

#!/usr/bin/env bash
# Line numbers are 16-bit: a script of 32767 lines runs to its last line;
# a longer one is refused with error 6 (overflow) as the exit code.
. "$(dirname "$0")/../harness/scenario-lib.sh"
export KTEST_OUT=$(winpath "$S/out.txt")
{ for _ in $(seq 1 32766); do printf 'SET A=1\r\n'; done; printf 'APPEND %%KTEST_OUT%%,last line ran\r\n'; } > "$S/ok.kes"
run_kes "$(winpath "$S/ok.kes")"
expect_eq "$(content "$S/out.txt")" "last line ran" "32767 lines"
expect_eq "$RC" 0 "32767 lines exit code"
rm -f "$S/out.txt"
{ printf 'APPEND %%KTEST_OUT%%,wrong: ran\r\n'; for _ in $(seq 1 32767); do printf 'SET A=1\r\n'; done; } > "$S/long.kes"
run_kes "$(winpath "$S/long.kes")"
expect_eq "$(content "$S/out.txt")" "" "32768 lines"
expect_eq "$RC" 6 "32768 lines exit code"
finish

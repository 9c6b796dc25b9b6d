#!/usr/bin/env bash
# Sixteen nested starts: the "Loop" report reaches the log. Its error box
# closes after MAXWAIT; boxes of two processes at once steal each other's
# activation, so this runs apart from the other box tests.
. "$(dirname "$0")/../harness/scenario-lib.sh"
# The report holds "Loop", the script name, "line"
# with the line number and the command, one per line (the log writes its
# line breaks as " | ").
mkdir -p "$S/log"
printf 'MAXWAIT 1\r\nDIRLOG %s\r\nCALL %s\r\n' "$(winpath "$S/log")" "$(winpath "$S/nest.kes")" > "$S/nest.kes"
run_kes "$(winpath "$S/nest.kes")"
expect_eq "$RC" 1 "nesting exit code"
log=$(cat "$S"/log/* 2>/dev/null | tr -d '\r')
case "$log" in
  *"> Loop | nest.kes | line3 | CALL $(winpath "$S/nest.kes")") ;;
  *) fail "nesting report in the log: [$log]" ;;
esac
finish

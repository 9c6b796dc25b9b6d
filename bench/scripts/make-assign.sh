#!/usr/bin/env bash
# Writes assign.kes: 20,000 assignment lines with %-references, then one line
# that writes the last values to the file named by %KBENCH_OUT% (so a run can
# be checked). scripts/bench.sh times Kestrova.exe on it.
set -euo pipefail
cd "$(dirname "$0")"
{
  printf '; Assignment lines with %%-references, for the lines-per-second benchmark.\r\n'
  printf 'SET A=alpha\r\nSET B=beta\r\nSET N=0\r\n'
  for ((i = 0; i < 20000; i++)); do
    case $((i % 4)) in
      0) printf 'SET V%d=%%A%%-%%B%%\r\n' $((i % 100)) ;;
      1) printf 'SET W=%%V%d%% and %%A%%\r\n' $(((i - 1) % 100)) ;;
      2) printf 'SET N=%d\r\n' "$i" ;;
      3) printf 'SET X%d=%%N%%:%%W%%\r\n' $((i % 50)) ;;
    esac
  done
  printf 'OUTPUT %%KBENCH_OUT%%,%%N%% %%X49%%\r\n'
} > assign.kes

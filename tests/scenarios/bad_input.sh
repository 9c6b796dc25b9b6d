#!/usr/bin/env bash
# Hostile scripts end normally: a 100 KB line, NUL bytes, unclosed
# delimiters, a 49th list name, negative and huge indexes, and a binary file
# run as a script.
. "$(dirname "$0")/../harness/scenario-lib.sh"
export KTEST_OUT=$(winpath "$S/out.txt")
{
  printf 'SET BIG=%s\r\n' "$(head -c 100000 /dev/zero | tr '\0' 'x')"
  printf 'SET LEN=%%BIG%%%%BIG%%\r\n'
  printf 'SET N\0UL=a\0b\r\n'
  printf 'APPEND %%KTEST_OUT%%,unclosed %%A\r\n'
  for i in $(seq 1 48); do printf 'SET $L%s1=x\r\n' "$(printf '%03d' "$i" | tr 0-9 A-J)"; done
  printf 'SET $ONEMORE1=x\r\n'
  printf 'APPEND %%KTEST_OUT%%,49th list error %%ERROR%%\r\n'
  printf 'SET $LAAB-5=x\r\n'
  printf 'APPEND %%KTEST_OUT%%,negative [%%$LAAB-5%%]\r\n'
  printf 'SET $LAAB99999999999=x\r\n'
  printf 'APPEND %%KTEST_OUT%%,huge index error %%ERROR%%\r\n'
  printf 'X := ((((((((((((((((((((1\r\n'
  printf 'APPEND %%KTEST_OUT%%,end reached\r\n'
} > "$S/bad.kes"
run_kes "$(winpath "$S/bad.kes")"
expect_eq "$(content "$S/out.txt")" "unclosed %A
49th list error 1
negative []
huge index error 1
end reached" "hostile lines"
python3 -c "import random,sys; random.seed(7); sys.stdout.buffer.write(bytes(random.randrange(256) for _ in range(20000)))" > "$S/binary.kes"
run_kes "$(winpath "$S/binary.kes")"
[ "$RC" -lt 128 ] || fail "binary script crashed with $RC"
finish

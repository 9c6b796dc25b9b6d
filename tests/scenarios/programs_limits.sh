#!/usr/bin/env bash
# Programs at the limits: command lines of 32 KB (the system takes up to
# 32,767 characters; cmd.exe 8,191), 50 MB of captured output, 100 KB of
# standard input. Nothing is lost and nothing hangs.
. "$(dirname "$0")/../harness/scenario-lib.sh"
export KTEST_OUT=$(winpath "$S/out.txt")
P="$(winpath "$(dirname "$EXE")/kesprobe.exe")"
D=$(winpath "$S")
pad32=$(head -c 32000 /dev/zero | tr '\0' 'x')
pad40=$(head -c 40000 /dev/zero | tr '\0' 'y')
head -c 102400 /dev/zero | tr '\0' 'z' > "$S/in100k.txt"
{
  printf 'RUNWAIT %s to:%s\\len.txt arglen out:%s exit:4\r\n' "$P" "$D" "$pad32"
  printf 'APPEND %%KTEST_OUT%%,32 KB line: %%ERROR%% level %%ERRORLEVEL%%\r\n'
  printf 'LINE %s\\len.txt,1\r\nIF %%LINE%% > 32000 APPEND %%KTEST_OUT%%,the program saw all of it\r\n' "$D"
  printf 'RUNWAIT %s out:%s\r\n' "$P" "$pad40"
  printf 'APPEND %%KTEST_OUT%%,40 KB line: %%ERROR%% level %%ERRORLEVEL%%\r\n'
  printf 'STDINOUT ON\r\n'
  printf 'RUNWAIT %s out:%s\r\n' "$P" "$pad32"
  printf 'APPEND %%KTEST_OUT%%,32 KB line through the shell: %%ERROR%% out %%NSTDOUT%%\r\n'
  printf 'RUNWAIT %s big:52428800\r\n' "$P"
  printf 'APPEND %%KTEST_OUT%%,50 MB: %%ERROR%% level %%ERRORLEVEL%% lines %%NSTDOUT%%\r\n'
  printf 'APPEND %%KTEST_OUT%%,first [%%STDOUT1%%]\r\n'
  printf 'APPEND %%KTEST_OUT%%,last [%%STDOUT655360%%]\r\n'
  printf 'CLEAR STDOUT\r\n'
  printf 'LET STDIN=LINE %s\\in100k.txt,1\r\n' "$D"
  printf 'RUNWAIT %s count\r\n' "$P"
  printf 'APPEND %%KTEST_OUT%%,100 KB of input: %%ERROR%% [%%STDOUT1%%]\r\n'
  printf 'RUNWAIT %s echo\r\n' "$P"
  printf 'LEN %%STDOUT1%%\r\nAPPEND %%KTEST_OUT%%,echoed: %%NSTDOUT%% line of %%LEN%%\r\n'
} > "$S/limits.kes"
run_kes "$(winpath "$S/limits.kes")"
expect_eq "$RC" 0 "exit code"
line1="000000001 $(head -c 68 /dev/zero | tr '\0' 'b')"
last="000655360 $(head -c 68 /dev/zero | tr '\0' 'e')"
expect_eq "$(content "$S/out.txt")" "32 KB line: 0 level 4
the program saw all of it
40 KB line: 53 level 4
32 KB line through the shell: 53 out 
50 MB: 0 level 0 lines 655360
first [$line1]
last [$last]
100 KB of input: 0 [in 102402 1]
echoed: 1 line of 102400" "limits"
finish

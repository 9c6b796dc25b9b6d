#!/usr/bin/env bash
# The account path of the systems before Windows 2000 (a copy of the
# interpreter for which Wine reports NT 4): LogonUserA, then
# CreateProcessAsUserA. Wine's LogonUserA gives a token its
# CreateProcessAsUserA does not take, so the start fails (53) unless the
# test switch KES_TEST_LOGON=self starts the program with the same arguments
# through CreateProcessA; KES_TEST_LOGON=fail makes LogonUserA fail (70).
# TASKLIST forced to the performance data (KES_TEST_TASKLIST=perfdata):
# Wine has no process object there, so the list is empty, without error.
. "$(dirname "$0")/../harness/scenario-lib.sh"
export KTEST_OUT=$(winpath "$S/out.txt")
P="$(winpath "$(dirname "$EXE")/kesprobe.exe")"
name="KesNt4$$.exe"
cp "$EXE" "$S/$name"
EXE="$S/$name"
key="HKCU\\Software\\Wine\\AppDefaults\\$name"
wine reg add "$key" /v Version /d nt40 /f </dev/null >/dev/null 2>&1
cat > "$S/nt4.kes" <<EOS
APPEND %KTEST_OUT%,%OSNT%
RUNNTWAIT user,domain,secret,$P exit:5
APPEND %KTEST_OUT%,wine's token: %ERROR%
SETENV KES_TEST_LOGON=self
RUNNTWAIT user,domain,secret,$P exit:5
APPEND %KTEST_OUT%,runntwait: %ERROR% level %ERRORLEVEL%
SET ADMINACCOUNT=administrator
SET A=parent
ADMIN BEGIN
SET B=%A% and child
ADMIN END
APPEND %KTEST_OUT%,admin block: %ERROR% [%B%]
SETENV KES_TEST_LOGON=fail
RUNADMINWAIT x,y,z,$P exit:5
APPEND %KTEST_OUT%,logon refused: %ERROR%
ADMIN BEGIN
SET C=not run
ADMIN END
APPEND %KTEST_OUT%,admin block refused: %ERROR% [%C%]
SET ADMINACCOUNT=
RUNNTWAIT x,y,z,
APPEND %KTEST_OUT%,empty command line: %ERROR%
TASKLIST
IF %NTASKLIST% > 0 APPEND %KTEST_OUT%,snapshot: %ERROR%
SETENV KES_TEST_TASKLIST=perfdata
TASKLIST
APPEND %KTEST_OUT%,performance data: %ERROR% %NTASKLIST%
SET ERRORLEVEL=0
EOS
sed -i 's/$/\r/' "$S/nt4.kes"
run_kes "$(winpath "$S/nt4.kes")"
wine reg delete "$key" /f </dev/null >/dev/null 2>&1
expect_eq "$(content "$S/out.txt")" "Windows_NT
wine's token: 53
runntwait: 0 level 5
admin block: 0 [parent and child]
logon refused: 70
admin block refused: 70 []
empty command line: 53
snapshot: 0
performance data: 0 0" "nt 4 account path"
finish

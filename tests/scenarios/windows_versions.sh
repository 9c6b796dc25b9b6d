#!/usr/bin/env bash
# The operating-system values on each Windows version Wine can report
# (set through AppDefaults for a copy of the interpreter with a name of its
# own, so that the tests running meanwhile keep their version). The 9x line
# waits up to 20 s for a "Program Manager" window, which Wine does not show,
# so only Windows 98 stands for it.
. "$(dirname "$0")/../harness/scenario-lib.sh"
name="KesVersions$$.exe"
cp "$EXE" "$S/$name"
EXE="$S/$name"
key="HKCU\\Software\\Wine\\AppDefaults\\$name"
export KTEST_OUT=$(winpath "$S/out.txt")
# On the 9x line the network functions come from Radmin32.dll, which is not
# there: NET TIME and GROUPLIST answer 53, USERLIST is refused with 1,
# DEFAULTPRINTER does nothing and IF MEMBER is false.
cat > "$S/v.kes" <<'EOF'
OUTPUT %KTEST_OUT%,%OS% [%OSNT%]
IF "%OSNT%" = "" THEN
  NET TIME \\kessrv
  APPEND %KTEST_OUT%,NET TIME %ERROR%
  NETINFO GROUPLIST,kessrv,bob
  APPEND %KTEST_OUT%,GROUPLIST %NETINFO% %ERROR%
  NETINFO USERLIST,kessrv,staff
  APPEND %KTEST_OUT%,USERLIST %NETINFO% %ERROR%
  SET DEFAULTPRINTER=unchanged
  DEFAULTPRINTER
  APPEND %KTEST_OUT%,DEFAULTPRINTER %DEFAULTPRINTER% %ERROR%
  IF NOT MEMBER Administrators APPEND %KTEST_OUT%,not MEMBER
ENDIF
EOF
check() {
  wine reg add "$key" /v Version /d "$1" /f </dev/null >/dev/null 2>&1
  rm -f "$S/out.txt"
  run_kes "$(winpath "$S/v.kes")"
  expect_eq "$(content "$S/out.txt")" "$2" "version $1"
}
check win2003 "Windows_NT [Windows_2003]"
check winxp "Windows_NT [Windows_XP]"
check win2k "Windows_NT [Windows_2000]"
check nt40 "Windows_NT [Windows_NT]"
check win98 "Windows_98 []
NET TIME 53
GROUPLIST 0 53
USERLIST 0 1
DEFAULTPRINTER unchanged 0
not MEMBER"
wine reg delete "$key" /f </dev/null >/dev/null 2>&1
finish

#!/usr/bin/env bash
# The examples folder: every example runs under Wine and does what its
# header says, and the static checker finds no problem in any of them.
. "$(dirname "$0")/../harness/scenario-lib.sh"
ex=$(cd "$(dirname "$0")/../../examples" && pwd)
W=$(winpath "$S/x"); W=${W%\\x}
run_example() { timeout -k 5 60 wine "$EXE" "$(winpath "$ex/$1")" </dev/null >>"$S/wine.log" 2>&1; RC=$?; }

for f in "$ex"/*.kes; do
  run_kes /CHECK "$(winpath "$f"),$W\\check.txt"
  expect_eq "$RC" 0 "checker problems in $(basename "$f"): $(content "$S/check.txt")"
done

# hello: the first script
REPORT="$W\\hello.txt" run_example hello.kes
expect_eq "$RC" 0 "hello exit code"
grep -q "The sub answered KESTROVA!" <(content "$S/hello.txt") || fail "hello report: $(content "$S/hello.txt")"

# inventory: an INI file with its sections
INVENTORY="$W\\inv.ini" run_example inventory.kes
expect_eq "$RC" 0 "inventory exit code"
inv=$(content "$S/inv.ini")
for l in "[Machine]" "WindowsFolder=C:\\windows" "[Windows]" "[Processes]" "[Programs]"; do
  grep -qxF "$l" <<<"$inv" || fail "inventory lacks $l: $inv"
done
grep -qE '^Count=[1-9][0-9]*$' <<<"$inv" || fail "inventory process count: $inv"

# install and verify: the exit code tells the job what happened
INSTALLER="cmd.exe /c echo x> $W\\app.txt" INSTALLED="$W\\app.txt" run_example install_verify.kes
expect_eq "$RC" 0 "installed"
[ -f "$S/app.txt" ] || fail "the installer did not run"
INSTALLER="cmd.exe /c exit 3010" INSTALLED="$W\\app.txt" run_example install_verify.kes
expect_eq "$RC" 0 "installed, restart needed"
INSTALLER="cmd.exe /c exit 5" INSTALLED="$W\\app.txt" run_example install_verify.kes
expect_eq "$RC" 1 "installer failed"
INSTALLER="cmd.exe /c exit 0" INSTALLED="$W\\none.txt" run_example install_verify.kes
expect_eq "$RC" 2 "installed file missing"

# registry audit: one line per rule, the exit code counts the deviations
AUDITREPORT="$W\\audit.txt" run_example registry_audit.kes
expect_eq "$RC" 1 "audit deviations"
expect_eq "$(content "$S/audit.txt" | sed 1d)" "OK        HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\SystemRoot
OK        HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Session Manager\\Environment\\OS
MISSING   HKEY_LOCAL_MACHINE\\Software\\Policies\\KestrovaExample\\Locked (error 1)
Run key: 0 values
1 values not as they should be" "audit report"

# log-on: a server that does not answer; both failures reported, no box
LOGONREPORT="$W\\logon.txt" FILESERVER=kestrova-nosuchserver run_example logon.kes
expect_eq "$RC" 2 "log-on failures"
expect_eq "$(content "$S/logon.txt" | sed 1d)" "H: \\\\kestrova-nosuchserver\\home\\$(content "$S/logon.txt" | sed -n '1s/^Log-on of \(.*\) on .*$/\1/p'): not mapped (exit code 1)
S: \\\\kestrova-nosuchserver\\shared: not mapped (exit code 1)
2 drive(s) not mapped" "log-on report"

# clean-up: files older than 30 days go, newer ones stay
mkdir -p "$S/c/sub"
echo old1 > "$S/c/old1.tmp"; echo oldertwo > "$S/c/sub/old2.log"; echo new > "$S/c/new.tmp"
touch -d '40 days ago' "$S/c/old1.tmp" "$S/c/sub/old2.log"
touch -d '3 days ago' "$S/c/new.tmp"
CLEANDIR="$W\\c" CLEANREPORT="$W\\cleanup.txt" run_example cleanup.kes
expect_eq "$(content "$S/cleanup.txt")" "$W\\c: 2 file(s) older than 30 days deleted, 14 bytes freed, 0 kept" "clean-up report"
expect_eq "$(cd "$S/c" && find . -type f | sort | tr '\n' ' ')" "./new.tmp " "files left by the clean-up"
finish

#!/usr/bin/env bash
# Two copies of the interpreter (under a name of this test's own): PREVINSTANCE
# alone and beside another copy, KILL by name passing over itself; RUNEXIT
# lines running after the script has ended.
. "$(dirname "$0")/../harness/scenario-lib.sh"
export KTEST_OUT=$(winpath "$S/out.txt")
D=$(winpath "$S")
P="$(winpath "$(dirname "$EXE")/kesprobe.exe")"
cp "$EXE" "$S/KesPrev.exe"
EXE="$S/KesPrev.exe"

cat > "$S/first.kes" <<EOS
OUTPUT $D\\first.txt,%PID%
FOR I,1,1200
  IF EXIST $D\\done.txt EXITFOR
  SLEEP 0.05
NEXT
OUTPUT $D\\first-ended.txt,ended by itself
EOS
cat > "$S/second.kes" <<EOS
PREVINSTANCE
APPEND %KTEST_OUT%,%PREVINSTANCE%
EOS
cat > "$S/killer.kes" <<EOS
KILL kesprev.exe
APPEND %KTEST_OUT%,kill the other copy: %ERROR%
KILL kesprev.exe
APPEND %KTEST_OUT%,only itself left: %ERROR%
EOS
sed -i 's/$/\r/' "$S"/*.kes

run_kes "$(winpath "$S/second.kes")"
expect_eq "$(content "$S/out.txt")" "0" "previnstance alone"
rm -f "$S/out.txt"
timeout 60 wine "$EXE" "$(winpath "$S/first.kes")" </dev/null >>"$S/wine.log" 2>&1 &
first=$!
for _ in $(seq 1 1200); do [ -s "$S/first.txt" ] && break; sleep 0.05; done
run_kes "$(winpath "$S/second.kes")"
expect_eq "$(content "$S/out.txt")" "$(content "$S/first.txt")" "previnstance beside another copy"
rm -f "$S/out.txt"
run_kes "$(winpath "$S/killer.kes")"
wait $first
expect_eq "$(content "$S/out.txt")" "kill the other copy: 0
only itself left: 53" "kill by name"
[ -f "$S/first-ended.txt" ] && fail "the first copy was not killed"

# RUNEXIT: the lines run after the end, in order, from the root folder
cat > "$S/exit.kes" <<EOS
RUNEXIT cd > $D\\where.txt
RUNEXIT $P write:$D\\later.txt:second
RUNEXIT
APPEND %KTEST_OUT%,empty runexit: %ERROR%
APPEND %KTEST_OUT%,script ended
EOS
sed -i 's/$/\r/' "$S/exit.kes"
rm -f "$S/out.txt"
run_kes "$(winpath "$S/exit.kes")"
for _ in $(seq 1 200); do [ -f "$S/later.txt" ] && break; sleep 0.05; done
expect_eq "$(content "$S/out.txt")" "empty runexit: 1
script ended" "runexit script"
expect_eq "$(content "$S/where.txt" | tr -d ' ')" "Z:\\" "exit commands start from the root"
expect_eq "$(content "$S/later.txt")" "second" "second exit command"
finish

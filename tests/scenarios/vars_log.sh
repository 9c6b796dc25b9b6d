#!/usr/bin/env bash
# Log entries seen from outside: identification text and header, "Syntax : "
# for a word without handler, protected values shown as @NAME@ by LOG, raw
# entries under LOGMUTE, the location of nested call levels, the STOP entry,
# the header written at exit by a run without entries, and a rejected DIRLOG
# falling back to the script's folder.
. "$(dirname "$0")/../harness/scenario-lib.sh"
mkdir -p "$S/log" "$S/empty" "$S/fallback"
W=$(winpath "$S/log")
cat > "$S/log/b.kes" <<EOS
SET Y=1
LINE $W\\missing.txt,1
EOS
cat > "$S/a.kes" <<EOS
DIRLOG $W
LOGFILE $W\\a.log
SET @PW=secret
nosuchword here
LOG pw is @%PW%
LOGMUTE ON
LOG raw line
LOGMUTE OFF
LOG one%CR%two
CALL $W\\b.kes
IF 1 = 1 LOG in if @%PW%
LINE $W\\@%PW%.txt,1
nosuchword @%PW%
CALLSUB nosuchsub,@%PW%
X := @%PW% +
COPY $W\\@%PW%.txt,$W\\x.txt
SECTIONENTRY $W\\@%PW%
STOP
EOS
sed -i 's/$/\r/' "$S/a.kes" "$S/log/b.kes"
run_kes "$(winpath "$S/a.kes")"
log=$(content "$S/log/a.log")
[ -n "$log" ] || fail "no log written"
first=$(echo "$log" | head -1)
expect_eq "$first" "Kestrova" "identification text first"
[ "$(echo "$log" | grep -c -E '^[0-9]{2}/[0-9]{2}/[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2} \\\\[^ ]+ [^ ]+ a\.kes$')" = 1 ] \
  || fail "one header line naming the script: $log"
echo "$log" | grep -q -E '^ [0-9]{2}:[0-9]{2}:[0-9]{2} \\\\[^ ]+ ERROR=1 a\.kes \(4\) > Syntax : nosuchword here$' \
  || fail "syntax entry: $log"
echo "$log" | grep -q -E ' a\.kes \(5\) > pw is @PW@$' || fail "LOG shows protected values by name: $log"
echo "$log" | grep -a -q 'secret' && fail "protected value written to the log: $log"
echo "$log" | grep -q -x 'raw line' || fail "LOGMUTE entry not raw: $log"
echo "$log" | grep -q -E ' > one \| two$' || fail "line break not joined: $log"
echo "$log" | grep -q -E ' ERROR=53 a\.kes \(10\) b\.kes \(2\) > LINE .*missing\.txt,1 \(File not found\) $' \
  || fail "nested location: $log"
echo "$log" | grep -q -E ' a\.kes \(11\) > in if @PW@$' || fail "LOG after IF: $log"
# error entries of lines that decoded a protected value show it by name
echo "$log" | grep -q -E ' ERROR=53 a\.kes \(12\) > LINE .*\\@PW@\.txt,1 ' || fail "LINE entry: $log"
echo "$log" | grep -q -E ' a\.kes \(13\) > Syntax : nosuchword @PW@$' || fail "syntax entry: $log"
echo "$log" | grep -q -E ' ERROR=555 a\.kes \(14\) > CALLSUB nosuchsub,@PW@' || fail "CALLSUB entry: $log"
echo "$log" | grep -q -E ' a\.kes \(15\) > X := @PW@ \+' || fail ":= entry: $log"
echo "$log" | grep -q -E ' ERROR=53 a\.kes \(16\) > COPY .*\\@PW@\.txt,' || fail "COPY entry: $log"
echo "$log" | grep -q -E ' ERROR=1 a\.kes \(17\) > SECTIONENTRY .*\\@PW@' || fail "SECTIONENTRY entry: $log"
echo "$log" | grep -q -E ' a\.kes \(18\) > Stop Kestrova$' || fail "STOP entry: $log"

# A run with a log folder and no entries leaves the header at exit.
E=$(winpath "$S/empty")
printf 'DIRLOG %s\r\nLOGFILE %s\\e.log\r\nSET X=1\r\n' "$E" "$E" > "$S/e.kes"
run_kes "$(winpath "$S/e.kes")"
e=$(content "$S/empty/e.log")
expect_eq "$(echo "$e" | head -1)" "Kestrova" "header at exit: identification"
# no script runs any more, so the header names none
echo "$e" | grep -q -E '^[0-9]{2}/[0-9]{2}/[0-9]{4} [0-9:]{8} \\\\[^ ]+ [^ ]+ $' || fail "header at exit: $e"
[ "$(echo "$e" | grep -c -E '^ [0-9]{2}:')" = 0 ] || fail "entries in a run without any: $e"

# A rejected DIRLOG: error 75, the log goes to the script's folder.
F=$(winpath "$S/fallback")
printf 'SET DIRLOG=%s\\no such folder\r\nSET E=%%ERROR%%\r\nAPPEND %s\\r.txt,%%E%% [%%DIRLOG%%]\r\n' "$F" "$F" > "$S/fallback/f.kes"
run_kes "$(winpath "$S/fallback/f.kes")"
r=$(content "$S/fallback/r.txt")
expect_eq "$r" "75 [$F]" "rejected DIRLOG"
f=$(cat "$S"/fallback/*.log 2>/dev/null | tr -d '\r')
echo "$f" | grep -q -E 'ERROR=75 f\.kes \(1\) > SET DIRLOG=.*no such folder \(Path/file access error\) $' \
  || fail "75 entry in the script's folder: $f"
finish

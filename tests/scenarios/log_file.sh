#!/usr/bin/env bash
# The log: header once per run, entry layout, error texts, " | " for line
# breaks, MAXLOG truncation, LOGSTOP, and nothing without DIRLOG.
. "$(dirname "$0")/../harness/scenario-lib.sh"
mkdir -p "$S/log"
W=$(winpath "$S/log")
cat > "$S/l.kes" <<EOS
LOGFILE k.log
LOG not logged without DIRLOG
DIRLOG $W
LOGFILE $W\\k.log
COPY $W\\none.txt,$W\\x.txt
LINE $W\\nofile.txt,1
LOG first%CR%second
LOGSTOP ON
LOG stopped
nosuchword
LOGSTOP OFF
LOG last
EOS
sed -i 's/$/\r/' "$S/l.kes"
run_kes "$(winpath "$S/l.kes")"
log=$(content "$S/log/k.log")
echo "$log" | grep -q 'not logged' && fail "logged without DIRLOG"
echo "$log" | grep -q 'stopped' && fail "logged while LOGSTOP"
echo "$log" | grep -q -- '> nosuchword' && fail "error logged while LOGSTOP"
head=$(echo "$log" | grep -E '^[0-9]{2}/[0-9]{2}/[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2} \\' | head -1)
[ -n "$head" ] || fail "no header line in: $log"
[ "$(echo "$log" | grep -c -E '^[0-9]{2}/[0-9]{2}/[0-9]{4} ')" = 1 ] || fail "header written more than once"
echo "$log" | grep -q -E '^ [0-9]{2}:[0-9]{2}:[0-9]{2} \\[^ ]+ ERROR=53 l\.kes \(6\) > LINE .*nofile\.txt,1 \(File not found\) $' \
  || fail "error 53 entry: $log"
echo "$log" | grep -q -E '^ [0-9]{2}:[0-9]{2}:[0-9]{2} \\[^ ]+ l\.kes \(7\) > first \| second$' || fail "two-line entry: $log"
echo "$log" | grep -q -E ' > last$' || fail "entry after LOGSTOP OFF: $log"

# MAXLOG: the file restarts once it is larger than the limit.
cat > "$S/m.kes" <<EOS
DIRLOG $W
LOGFILE $W\\m.log
MAXLOG 100
LOG entry one with some length to pass the limit
LOG entry two with some length to pass the limit
LOG entry three
EOS
sed -i 's/$/\r/' "$S/m.kes"
run_kes "$(winpath "$S/m.kes")"
m=$(content "$S/log/m.log")
echo "$m" | grep -q 'entry one' && fail "MAXLOG did not restart the log: $m"
echo "$m" | grep -q 'entry three' || fail "MAXLOG lost the last entry: $m"
finish

#!/usr/bin/env bash
# Shared variables pass values between two running interpreters: the first
# writes !X and waits; the second reads it, answers with !Y and ends.
. "$(dirname "$0")/../harness/scenario-lib.sh"
export KTEST_OUT=$(winpath "$S/out.txt")
D=$(winpath "$S")
cat > "$S/a.kes" <<EOS
SETSHARE !X=forty two
OUTPUT $D\\ready.txt,ready
FOR I,1,1200
  IF EXIST $D\\done.txt EXITFOR
  SLEEP 0.05
NEXT
APPEND %KTEST_OUT%,first got %!Y%
EOS
cat > "$S/b.kes" <<EOS
APPEND %KTEST_OUT%,second read %!X%
SETSHARE !Y=thanks
SET ERR=%ERROR%
SETSHARE Z=1
APPEND %KTEST_OUT%,plain name refused [%!Z%]
OUTPUT $D\\done.txt,done
EOS
sed -i 's/$/\r/' "$S/a.kes" "$S/b.kes"
timeout 60 wine "$EXE" "$(winpath "$S/a.kes")" </dev/null >>"$S/wine.log" 2>&1 &
first=$!
for _ in $(seq 1 1200); do [ -f "$S/ready.txt" ] && break; sleep 0.05; done
run_kes "$(winpath "$S/b.kes")"
wait $first
expect_eq "$(content "$S/out.txt")" "second read forty two
plain name refused []
first got thanks" "shared values"
finish

#!/usr/bin/env bash
# The FTP client against a real server (pyftpdlib, tests/net/ftp_server.py):
# the control dialogue byte for byte, log-in and quit per command without
# FTPOPEN and one session with it, multi-line greeting and welcome, passive
# mode to the control host (the server announces a foreign address), the
# folder change with "\" then "/", quoted names, FTPDIR and FTPLIST, and the
# codes 76, 55, 53 and 52.
. "$(dirname "$0")/../harness/scenario-lib.sh"
. "$(dirname "$0")/../harness/net-servers.sh"
# every passive reply announces 10.255.0.1: only the control host works
start_ftp 10.255.0.1 || { fail "ftp server"; finish_net; }
export KTEST_OUT=$(winpath "$S/out.txt")
export KT_W=$(winpath "$S/w")
export KT_A=$FTP_ADDR
# a loopback address where nothing listens
export KT_NONE=127.$((RANDOM % 200 + 20)).$((RANDOM % 250 + 1)).$((RANDOM % 250 + 1))
mkdir -p "$S/w"
R=$NET/ftp/root
mkdir -p "$R/pub/sub" "$R/pub/deeper" "$R/x\\b"
printf 'served file\r\n' > "$R/a.txt"
printf 'with blanks' > "$R/pub/sub/b file.txt"
printf 'behind a backslash' > "$R/x\\b/c.txt"
printf '1' > "$R/pub/one.txt"
printf '22' > "$R/pub/two.TXT"
printf '333' > "$R/pub/three.bin"
chmod 644 "$R/pub"/*.* ; chmod 755 "$R/pub/sub" "$R/pub/deeper"
head -c 300000 /dev/urandom > "$S/w/up.bin"
CTL=$NET/ftp/capture

# the Nth session recorded since the last clearing is, byte for byte, the
# lines on stdin (CR LF added)
session_is() {
  sed 's/$/\r/' > "$S/expected.ctl"
  local f; f=$(ls "$CTL"/*.ctl 2>/dev/null | sort | sed -n "$1p")
  if [ -z "$f" ]; then fail "session $1 missing"; return; fi
  cmp -s "$f" "$S/expected.ctl" || { fail "session $1 differs"; diff "$S/expected.ctl" "$f" | head -20; }
}
sessions() { ls "$CTL" | wc -l; }

# ---- one log-in and quit per command
kes_case percommand "server 0
get 0 served file
quoted 0 with blanks
backslash then slash 0 behind a backslash
no such folder 76 76
missing 55 absent
no local folder 52
put 0
put missing 53
put refused 55
dir 2 one.txt two.TXT
subfolders 2 deeper sub
wrong password 76
nobody there 76" <<'KES'
SET FTPTIMEOUT=5000
FTPSERVER %KT_A%,kes,secret
OUTPUT %KTEST_OUT%,server %ERROR%
FTPGET a.txt %KT_W%\a.txt
SET E=%ERROR%
LINE %KT_W%\a.txt,1
APPEND %KTEST_OUT%,get %E% %LINE%
FTPGET "pub/sub\b file.txt","%KT_W%\b file.txt"
SET E=%ERROR%
LINE %KT_W%\b file.txt,1
APPEND %KTEST_OUT%,quoted %E% %LINE%
FTPGET x\b/c.txt,%KT_W%\c.txt
SET E=%ERROR%
LINE %KT_W%\c.txt,1
APPEND %KTEST_OUT%,backslash then slash %E% %LINE%
FTPGET nope\f.txt %KT_W%\f.txt
SET E=%ERROR%
FTPGET nope\d/f.txt %KT_W%\f.txt
APPEND %KTEST_OUT%,no such folder %E% %ERROR%
FTPGET missing.txt %KT_W%\missing.txt
SET E=%ERROR%
SET X=absent
IF EXIST %KT_W%\missing.txt SET X=present
APPEND %KTEST_OUT%,missing %E% %X%
FTPGET a.txt %KT_W%\nofolder\a.txt
APPEND %KTEST_OUT%,no local folder %ERROR%
FTPPUT %KT_W%\up.bin pub/up.bin
APPEND %KTEST_OUT%,put %ERROR%
FTPPUT %KT_W%\none.bin pub/none.bin
APPEND %KTEST_OUT%,put missing %ERROR%
FTPPUT %KT_W%\up.bin nofolder/up.bin
APPEND %KTEST_OUT%,put refused %ERROR%
FTPDIR pub/*.txt
APPEND %KTEST_OUT%,dir %NFTPDIR% %FTPDIR1% %FTPDIR2%
FTPDIR pub/
APPEND %KTEST_OUT%,subfolders %NFTPDIR% %FTPDIR1% %FTPDIR2%
FTPSERVER %KT_A%,kes,wrong
APPEND %KTEST_OUT%,wrong password %ERROR%
FTPSERVER %KT_NONE%,kes,secret
APPEND %KTEST_OUT%,nobody there %ERROR%
KES
cmp -s "$S/w/up.bin" "$R/pub/up.bin" || fail "uploaded file differs"
expect_eq "$(sessions)" 14 "sessions: one per command"
LOGIN='USER kes
PASS secret'
printf '%s\nQUIT\n' "$LOGIN" | session_is 1
printf '%s\nPASV\nTYPE I\nRETR a.txt\nQUIT\n' "$LOGIN" | session_is 2
printf '%s\nPASV\nCWD pub/sub\nTYPE I\nRETR b file.txt\nQUIT\n' "$LOGIN" | session_is 3
printf '%s\nPASV\nCWD x\nCWD x\\b\nTYPE I\nRETR c.txt\nQUIT\n' "$LOGIN" | session_is 4
printf '%s\nPASV\nCWD nope\nQUIT\n' "$LOGIN" | session_is 5
printf '%s\nPASV\nCWD nope\nCWD nope\\d\nQUIT\n' "$LOGIN" | session_is 6
printf '%s\nPASV\nTYPE I\nRETR missing.txt\nQUIT\n' "$LOGIN" | session_is 7
printf '%s\nQUIT\n' "$LOGIN" | session_is 8
printf '%s\nPASV\nTYPE I\nSTOR pub/up.bin\nQUIT\n' "$LOGIN" | session_is 9
printf '%s\nQUIT\n' "$LOGIN" | session_is 10
printf '%s\nPASV\nTYPE I\nLIST pub\nQUIT\n' "$LOGIN" | session_is 12
printf 'USER kes\nPASS wrong\n' | session_is 14
leftover=$(cd "$S/w" && ls | grep -v '^\(a.txt\|b file.txt\|c.txt\|up.bin\)$')
expect_eq "$leftover" "" "files left by failed downloads"
rm -f "$CTL"/*

# ---- FTPOPEN: one session for every command; the completion replies are
# read, so each command gets its own answers
printf 'new content' > "$R/a.txt"
kes_case keptopen "open 0
get 0 new content
missing 55
get again 0
put 0
dir 1 up.bin
list 7 [] d
close 0" <<'KES'
SET FTPTIMEOUT=5000
FTPSERVER %KT_A%,kes,secret
FTPOPEN
OUTPUT %KTEST_OUT%,open %ERROR%
FTPGET a.txt %KT_W%\a.txt
SET E=%ERROR%
LINE %KT_W%\a.txt,1
APPEND %KTEST_OUT%,get %E% %LINE%
FTPGET missing.txt %KT_W%\m.txt
APPEND %KTEST_OUT%,missing %ERROR%
FTPGET a.txt %KT_W%\a2.txt
APPEND %KTEST_OUT%,get again %ERROR%
FTPPUT %KT_W%\up.bin pub/up.bin
APPEND %KTEST_OUT%,put %ERROR%
FTPDIR pub/*.bin
FTPDIR pub/u*
APPEND %KTEST_OUT%,dir %NFTPDIR% %FTPDIR1%
FTPLIST pub
SET L=%FTPLIST1%
LEFT 1,%L%
APPEND %KTEST_OUT%,list %NFTPLIST% [%FTPLIST7%] %LEFT%
FOR I,1,%NFTPLIST%
  APPEND %KT_W%\list.txt,%FTPLIST(%I%)%
NEXT
FTPCLOSE
APPEND %KTEST_OUT%,close %ERROR%
KES
expect_eq "$(sessions)" 2 "sessions: FTPSERVER and FTPOPEN"
printf '%s\nPASV\nTYPE I\nRETR a.txt\nPASV\nTYPE I\nRETR missing.txt\nPASV\nTYPE I\nRETR a.txt\nPASV\nTYPE I\nSTOR pub/up.bin\nPASV\nTYPE I\nLIST pub\nPASV\nTYPE I\nLIST pub\nPASV\nTYPE I\nLIST pub\nQUIT\n' "$LOGIN" | session_is 2
# the raw listing lines, dates aside
expect_eq "$(tr -d '\r' < "$S/w/list.txt" | sed -E 's/ [A-Z][a-z]{2} [0-9 ][0-9] ( [0-9]{4}|[0-9]{2}:[0-9]{2}) / DATE /')" \
"drwxr-xr-x   2 root     root         4096 DATE deeper
-rw-r--r--   1 root     root            1 DATE one.txt
drwxr-xr-x   2 root     root         4096 DATE sub
-rw-r--r--   1 root     root            3 DATE three.bin
-rw-r--r--   1 root     root            2 DATE two.TXT
-rw-r--r--   1 root     root       300000 DATE up.bin" "FTPLIST lines"
finish_net

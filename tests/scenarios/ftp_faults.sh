#!/usr/bin/env bash
# The FTP client against the faulty server (tests/net/ftp_fault_server.py):
# greetings that are not 220, a reply line longer than the buffer, a reply
# that never ends and a silent server (each ends with an error after the
# time-out at most), passive replies that give no data connection (5),
# refused transfers (55), transfers broken off (67) that leave no local
# file (the old one is deleted first, no partial one appears) and no list,
# and a download the server never confirms.
. "$(dirname "$0")/../harness/scenario-lib.sh"
. "$(dirname "$0")/../harness/net-servers.sh"
start_ftp_fault || { fail "faulty ftp server"; finish_net; }
export KTEST_OUT=$(winpath "$S/out.txt")
export KT_W=$(winpath "$S/w")
export KT_A=$FTP_FAULT_ADDR
mkdir -p "$S/w"
F=$NET/ftpfault
export KT_F=$(winpath "$F")
head -c 200000 /dev/urandom > "$F/file.bin"
printf 'drwxr-xr-x   2 root     root         4096 Jan 01 12:00 sub\r\n-rw-r--r--   1 root     root            5 Jan 01 12:00 a.txt\r\n' > "$F/listing.txt"
head -c 1000000 /dev/urandom > "$S/w/up.bin"

# ---- log-in failures: 76, after the time-out at most
printf '220-hello\r\n421-busy\r\n220 come in\r\n' > "$F/greeting"
kes_case login "greeting with 421: 76
greeting 421: 76
long line: 76 quick
endless reply: 76 quick
silent: 76 quick
ordinary: 0" <<'KES'
SET FTPTIMEOUT=1500
FTPSERVER %KT_A%,kes,x
OUTPUT %KTEST_OUT%,greeting with 421: %ERROR%
OUTPUT %KT_F%\greeting,421 Too many users
FTPSERVER %KT_A%,kes,x
APPEND %KTEST_OUT%,greeting 421: %ERROR%
DEL %KT_F%\greeting
CALLSUB TRY,long line,longline
CALLSUB TRY,endless reply,endless
CALLSUB TRY,silent,silent
FTPSERVER %KT_A%,kes,x
APPEND %KTEST_OUT%,ordinary: %ERROR%
EXIT
SUB TRY
SET START=%TIMER%
FTPSERVER %KT_A%,%ARG2%,x
SET E=%ERROR%
T := %TIMER% - %START%
SET Q=slow
IF %T% < 8 SET Q=quick
APPEND %KTEST_OUT%,%ARG1%: %E% %Q%
ENDSUB
KES

# ---- transfers that fail: the codes, no partial file, no list
kes_case transfers "no parentheses: 5
nothing listens: 5
refused: 55 55 55 0
cut: 67 absent 67 absent
cut listing: 67 0 67 0
cut upload: 67
never confirmed: 67 absent
kept open: 0 0 3 0 0" <<'KES'
SET FTPTIMEOUT=3000
FTPSERVER %KT_A%,noparen,x
FTPGET file.bin %KT_W%\f.bin
APPEND %KTEST_OUT%,no parentheses: %ERROR%
FTPSERVER %KT_A%,nodata,x
FTPGET file.bin %KT_W%\f.bin
APPEND %KTEST_OUT%,nothing listens: %ERROR%
FTPSERVER %KT_A%,missing,x
FTPGET file.bin %KT_W%\f.bin
SET E=%ERROR%
FTPPUT %KT_W%\up.bin up.bin
SET E=%E% %ERROR%
FTPLIST sub
APPEND %KTEST_OUT%,refused: %E% %ERROR% %NFTPLIST%
FTPSERVER %KT_A%,cut,x
OUTPUT %KT_W%\old.bin,old
FTPGET file.bin %KT_W%\old.bin
SET E=%ERROR%
SET O=absent
IF EXIST %KT_W%\old.bin SET O=present
FTPGET file.bin %KT_W%\new.bin
SET X=absent
IF EXIST %KT_W%\new.bin SET X=present
APPEND %KTEST_OUT%,cut: %E% %O% %ERROR% %X%
FTPLIST sub
SET E=%ERROR% %NFTPLIST%
FTPDIR sub/
APPEND %KTEST_OUT%,cut listing: %E% %ERROR% %NFTPDIR%
FTPPUT %KT_W%\up.bin up.bin
APPEND %KTEST_OUT%,cut upload: %ERROR%
FTPSERVER %KT_A%,noreply,x
FTPGET file.bin %KT_W%\f.bin
SET X=absent
IF EXIST %KT_W%\f.bin SET X=present
APPEND %KTEST_OUT%,never confirmed: %ERROR% %X%
FTPSERVER %KT_A%,kes,x
FTPOPEN
SET E=%ERROR%
FTPGET good\file.bin %KT_W%\ok.bin
SET E=%E% %ERROR%
FTPLIST sub
SET E=%E% %NFTPLIST%
FTPPUT %KT_W%\up.bin up.bin
SET E=%E% %ERROR%
FTPCLOSE
APPEND %KTEST_OUT%,kept open: %E% %ERROR%
KES
cmp -s "$F/file.bin" "$S/w/ok.bin" || fail "download through the kept-open connection differs"
cmp -s "$S/w/up.bin" "$F/stored.bin" || fail "upload through the kept-open connection differs"
leftover=$(cd "$S/w" && ls | grep -v '^\(up.bin\|ok.bin\)$')
expect_eq "$leftover" "" "files left by failed downloads"
finish_net

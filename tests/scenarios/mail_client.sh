#!/usr/bin/env bash
# MAILSEND against a real SMTP server (aiosmtpd, tests/net/smtp_server.py):
# the whole dialogue byte for byte for a plain message to two recipients
# (dot-stuffing, no MIME headers), and for an HTML message with AUTH LOGIN
# and an attachment (boundary, "=3D", 76-character Base64 lines); a server
# without AUTH after HELO, the "." marker, a greeting of two lines, a large
# attachment; the codes 53, 76 and 1 with the offending reply in the log.
. "$(dirname "$0")/../harness/scenario-lib.sh"
. "$(dirname "$0")/../harness/net-servers.sh"
start_smtp || { fail "smtp server"; finish_net; }
export KTEST_OUT=$(winpath "$S/out.txt")
export KT_W=$(winpath "$S/w")
export KT_M=$SMTP_ADDR
export KT_M_DIR=$(winpath "$NET/smtp")
# a loopback address where nothing listens
export KT_NONE=127.$((RANDOM % 200 + 20)).$((RANDOM % 250 + 1)).$((RANDOM % 250 + 1))
mkdir -p "$S/w"
M=$NET/smtp
CAP=$M/capture
head -c 100 /dev/urandom > "$S/w/join 100.bin"
head -c 200000 /dev/urandom > "$S/w/big.bin"

# capture_is FILE: the file equals, byte for byte, the text on stdin with CR
# LF after each line
capture_is() {
  sed 's/$/\r/' > "$S/expected"
  if [ ! -f "$1" ]; then fail "$(basename "$1") missing"; return; fi
  cmp -s "$1" "$S/expected" || { fail "$(basename "$1") differs"; diff <(od -c "$S/expected") <(od -c "$1") | head -20; }
}
helo() { head -1 "$CAP/$1.smtp" | tr -d '\r'; }

kes_case plain "plain 0
html 0" <<'KES'
SET MAILSERVER=%KT_M%
SET MAILFROM= a@x.test 
SET MAILTO=b@y.test;c@z.test
SET MAILSUBJECT=Hello there
SET MAILBODY=line one%CR%.dot line%CR%line after
MAILSEND
OUTPUT %KTEST_OUT%,plain %ERROR%
SET MAILTYPE=html
SET MAILTO=b@y.test
SET MAILSUBJECT=Page
SET MAILBODY=<p class="a">a=b</p>%CR%.end
SET MAILACCOUNT=kes
SET MAILPASSWORD=secret
SET MAILJOIN="%KT_W%\join 100.bin"
MAILSEND
APPEND %KTEST_OUT%,html %ERROR%
KES
H=$(helo 001)
case "$H" in "HELO "?*) ;; *) fail "HELO line: [$H]" ;; esac
capture_is "$CAP/001.smtp" <<EXPECT
$H
MAIL FROM: <a@x.test>
RCPT TO: <b@y.test>
RCPT TO: <c@z.test>
DATA
FROM: a@x.test
TO: b@y.test;c@z.test
SUBJECT: Hello there

line one
..dot line
line after

.

QUIT
EXPECT
# the message as the server keeps it: the stuffed dot is gone again
capture_is "$CAP/001.eml" <<'EXPECT'
FROM: a@x.test
TO: b@y.test;c@z.test
SUBJECT: Hello there

line one
.dot line
line after

EXPECT
B=$(grep -a -o 'boundary="[^"]*"' "$CAP/002.smtp" | sed 's/boundary="\(.*\)"/\1/')
[[ "$B" =~ ^\.[0-9]{8}\.[0-9]{6}\.$ ]] || fail "boundary [$B]"
J=$(base64 -w 76 "$S/w/join 100.bin")
capture_is "$CAP/002.smtp" <<EXPECT
$(helo 002)
AUTH LOGIN
a2Vz
c2VjcmV0
MAIL FROM: <a@x.test>
RCPT TO: <b@y.test>
DATA
FROM: a@x.test
TO: b@y.test
SUBJECT: Page
MIME-VERSION: 1.0
Content-TYPE: multipart/mixed;
	boundary="$B"

--$B
Content-TYPE: TEXT/html;charset="Windows-1252"
Content-Transfer-Encoding: quoted-printable

<p class=3D"a">a=3Db</p>
..end

--$B
Content-TYPE: application/x-msdownload;
	NAME="join 100.bin"
Content-Transfer-Encoding: base64
Content-Disposition: attachment;
	FILENAME="join 100.bin"


$J

--$B--


.

QUIT
EXPECT
expect_eq "$(echo "$J" | awk '{print length($0)}' | tr '\n' ' ')" "76 60 " "attachment line lengths"

# ---- servers that answer differently
printf 'noauth' > "$M/mode"
kes_case variants "no auth after HELO: 0
dot marker: 0
two-line greeting: 0
large attachment: 0" <<'KES'
SET MAILSERVER=%KT_M%
SET MAILFROM=a@x.test
SET MAILTO=b@y.test
SET MAILSUBJECT=S
SET MAILBODY=body
SET MAILACCOUNT=kes
SET MAILPASSWORD=secret
MAILSEND
OUTPUT %KTEST_OUT%,no auth after HELO: %ERROR%
SET MAILACCOUNT=
OUTPUT %KT_M_DIR%\mode,dot
MAILSEND
APPEND %KTEST_OUT%,dot marker: %ERROR%
OUTPUT %KT_M_DIR%\mode,multi
MAILSEND
APPEND %KTEST_OUT%,two-line greeting: %ERROR%
OUTPUT %KT_M_DIR%\mode,plain
SET MAILJOIN=%KT_W%\big.bin
MAILSEND
APPEND %KTEST_OUT%,large attachment: %ERROR%
KES
grep -a -q '^AUTH LOGIN' "$CAP/003.smtp" || fail "AUTH LOGIN not tried"
grep -a -q '^a2Vz' "$CAP/003.smtp" && fail "the account was sent to a server that refused AUTH"
[ -f "$CAP/003.eml" ] || fail "message without AUTH not taken"
expect_eq "$(tail -c 12 "$CAP/004.smtp" | od -An -c | tr -s ' ')" " y \r \n . \r \n Q U I T \r \n" "the dot marker alone"
[ -f "$CAP/004.eml" ] && [ -f "$CAP/005.eml" ] || fail "messages of the dot marker or the long greeting not taken"
# the large attachment decodes to the file; its lines are 76 characters but the last
tr -d '\r' < "$CAP/006.eml" | sed -n '/^Content-Disposition/,$p' | grep -E '^[A-Za-z0-9+/=]+$' > "$S/lines"
expect_eq "$(awk 'length($0)!=76' "$S/lines" | wc -l)" 1 "short attachment lines"
base64 -d "$S/lines" > "$S/big.back" 2>/dev/null
cmp -s "$S/w/big.bin" "$S/big.back" || fail "large attachment differs"

# ---- failures
rm -f "$M/mode"
kes_case failures "missing attachment: 53
nobody there: 76
wrong password: 1
refused recipient: 1
no service: 1" <<'KES'
SET MAILSERVER=%KT_M%
SET MAILFROM=a@x.test
SET MAILTO=b@y.test
SET MAILSUBJECT=S
SET MAILBODY=body
SET MAILJOIN=%KT_W%\none.bin
MAILSEND
OUTPUT %KTEST_OUT%,missing attachment: %ERROR%
SET MAILJOIN=
SET MAILSERVER=%KT_NONE%
MAILSEND
APPEND %KTEST_OUT%,nobody there: %ERROR%
SET MAILSERVER=%KT_M%
DIRLOG %KT_W%
SET LOGFILE=%KT_W%\mail.log
SET MAILACCOUNT=kes
SET MAILPASSWORD=wrong
MAILSEND
APPEND %KTEST_OUT%,wrong password: %ERROR%
SET MAILACCOUNT=
SET MAILTO=b@y.test;refused@z.test
MAILSEND
APPEND %KTEST_OUT%,refused recipient: %ERROR%
SET MAILTO=b@y.test
OUTPUT %KT_M_DIR%\mode,bye
MAILSEND
APPEND %KTEST_OUT%,no service: %ERROR%
KES
expect_eq "$(ls "$CAP"/*.smtp | wc -l)" 9 "sessions (none for a missing attachment)"
LOG=$(tr -d '\r' < "$S/w/mail.log" 2>/dev/null | grep 'ERROR=1')
expect_eq "$(echo "$LOG" | sed 's/.*> //')" "535 5.7.8 Authentication credentials invalid
550 No such user here
554 No service" "replies in the log"
finish_net

#!/usr/bin/env bash
# File commands on files that another process holds open without sharing:
# the documented error codes, and nothing lost or half-changed.
set -u
exe=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${KES_TEST_TMP:-/tmp}/kt.files_locked.XXXXXX")
holder=""
cleanup() {
  touch "$work/release"
  [ -n "$holder" ] && wait "$holder" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
win() { printf 'Z:%s' "${1//\//\\}"; }
W=$(win "$work")

i686-w64-mingw32-gcc -O1 -o "$work/holdfile.exe" "$here/files/holdfile.c" || { echo "cannot build the helper"; exit 1; }
mkdir -p "$work/src" "$work/dst"
printf 'locked content\r\n' > "$work/dst/b.log"
printf 'a\r\n' > "$work/src/a.log"
printf 'b\r\n' > "$work/src/b.log"
printf 'c\r\n' > "$work/src/c.log"
printf '[S]\r\nK=1\r\n' > "$work/dst/app.ini"
printf 'K=1\r\n' > "$work/dst/app.dat"
cp "$work/dst/b.log" "$work/dst/lockdel.txt"

wine "$work/holdfile.exe" "$W\\dst\\b.log" "$W\\ready1" "$W\\release" </dev/null >/dev/null 2>&1 &
holder=$!
for _ in $(seq 1 100); do [ -e "$work/ready1" ] && break; sleep 0.1; done
[ -e "$work/ready1" ] || { echo "helper did not start"; exit 1; }

cat > "$work/t.kes" <<KES
SET D=$W
SET O=$W\\out.txt
COPY %D%\\src\\b.log,%D%\\dst\\b.log
APPEND %O%,copy onto locked: %ERROR%
COPY %D%\\src\\*.log,%D%\\dst\\
APPEND %O%,wildcard copy with one locked target: %ERROR%
SIZE %D%\\dst\\a.log
APPEND %O%,  a.log copied: %ERROR%
SIZE %D%\\dst\\c.log
APPEND %O%,  c.log copied: %ERROR%
ATTRIB %D%\\dst\\b.log,R
DEL %D%\\dst\\b.log
APPEND %O%,delete locked: %ERROR%
ATTRIB %D%\\dst\\b.log
APPEND %O%,  attributes kept: %ATTRIB%
ATTRIB %D%\\dst\\b.log,-R
DEL %D%\\dst\\*.log
APPEND %O%,wildcard delete with one locked: %ERROR%
SIZE %D%\\dst\\a.log
APPEND %O%,  a.log deleted: %ERROR%
REN %D%\\dst\\b.log,%D%\\dst\\moved.log
APPEND %O%,rename locked: %ERROR%
SIZE %D%\\dst\\b.log
APPEND %O%,  size still readable: %SIZE% %ERROR%
BINGET %D%\\dst\\b.log,0
APPEND %O%,binget locked: %ERROR%
DATAGET %D%\\dst\\b.log,K
APPEND %O%,dataget locked: %ERROR%
DATAPUT %D%\\dst\\b.log,K,2
APPEND %O%,dataput locked: %ERROR%
COPY %D%\\dst\\b.log,%D%\\src\\fromlocked.log
APPEND %O%,copy from locked: %ERROR%
LINE %D%\\dst\\b.log,1
APPEND %O%,line of locked: %ERROR%
SECTIONENTRY %D%\\dst\\b.log,S,K,2
APPEND %O%,ini write locked: %ERROR%
SHELLDELETE %D%\\dst\\b.log
APPEND %O%,shelldelete locked fails: %ERROR%
KES
wine "$exe" "$(win "$work/t.kes")" </dev/null >/dev/null 2>&1

want='copy onto locked: 75
wildcard copy with one locked target: 75
a.log copied: 0
c.log copied: 0
delete locked: 75
attributes kept: RA
wildcard delete with one locked: 75
a.log deleted: 53
rename locked: 75
size still readable: 16 0
binget locked: 75
dataget locked: 75
dataput locked: 75
copy from locked: 75
line of locked: 75
ini write locked: 1
shelldelete locked fails: N'
fail=0
got=$(tr -d '\r' < "$work/out.txt" 2>/dev/null | sed -E 's/^(shelldelete locked fails): [1-9][0-9]*$/\1: N/')
if [ "$got" != "$want" ]; then echo "output differs:"; diff <(echo "$want") <(echo "$got"); fail=1; fi
printf 'locked content\r\n' | cmp -s - "$work/dst/b.log" || { echo "locked file changed"; fail=1; }
exit $fail

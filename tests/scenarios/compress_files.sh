#!/usr/bin/env bash
# COMPRESS and UNCOMPRESS checked byte for byte from outside: known streams,
# the header, a round trip of a binary large enough for the progress gauge,
# and hostile compressed files (random bytes, 0 and 13 bytes, a header that
# claims 1 GB) that must decode to what their bytes say without a crash.
set -u
exe=$1
work=$(mktemp -d "${KES_TEST_TMP:-/tmp}/kt.compress.XXXXXX")
fail=0
# The work folder (with the random inputs) is kept when a check fails.
trap '[ $fail -eq 0 ] && rm -rf "$work" || echo "inputs kept in $work"' EXIT
win() { printf 'Z:%s' "${1//\//\\}"; }
check() {  # name, expected file, actual file
  if ! cmp -s "$2" "$3"; then
    echo "FAIL $1"; od -An -tx1 "$3" | head -3; fail=1
  fi
}

printf 'abc' > "$work/abc.txt"
printf '%18s' '' > "$work/spaces.txt"
: > "$work/empty.txt"
cat "$exe" "$exe" > "$work/big.bin"                     # over 50,000 bytes
head -c 300000 /dev/urandom > "$work/random.kz"
head -c 13 /dev/urandom > "$work/short13.kz"
: > "$work/zero.kz"
# A header claiming 1 GB followed by the stream of "abc".
printf '\x01\x00\x00\x00\x02\x00\x00\x00\x03\x00\x00\x00\x00\x40\x07abc' > "$work/claims1g.kz"
# A stream cut inside a reference: "abc" then half of one.
printf '\x01\x00\x00\x00\x02\x00\x00\x00\x03\x00\x03\x00\x00\x00\x07abc\xF1' > "$work/cut.kz"

W=$(win "$work")
cat > "$work/run.kes" <<KES
COMPRESS $W\\abc.txt,$W\\abc.kz
OUTPUT $W\\log.txt,abc %ERROR% %COMPRESS%
COMPRESS $W\\spaces.txt,$W\\spaces.kz
APPEND $W\\log.txt,spaces %ERROR% %COMPRESS%
COMPRESS $W\\empty.txt,$W\\empty.kz
APPEND $W\\log.txt,empty %ERROR% %COMPRESS%
COMPRESS $W\\big.bin,$W\\big.kz
APPEND $W\\log.txt,big %ERROR%
UNCOMPRESS $W\\big.kz,$W\\big.back
APPEND $W\\log.txt,big back %ERROR%
UNCOMPRESS $W\\random.kz,$W\\random.back
APPEND $W\\log.txt,random %ERROR%
UNCOMPRESS $W\\short13.kz,$W\\short13.back
APPEND $W\\log.txt,short13 %ERROR%
UNCOMPRESS $W\\zero.kz,$W\\zero.back
APPEND $W\\log.txt,zero %ERROR%
UNCOMPRESS $W\\claims1g.kz,$W\\claims1g.back
APPEND $W\\log.txt,claims1g %ERROR%
UNCOMPRESS $W\\cut.kz,$W\\cut.back
APPEND $W\\log.txt,cut %ERROR%
COMPRESS $W\\abc.txt,$W\\abc.txt
APPEND $W\\log.txt,in place %ERROR% %COMPRESS%
KES
(cd "$work" && timeout -k 5 90 wine "$exe" "$(win "$work/run.kes")" </dev/null >"$work/wine.log" 2>&1)
rc=$?
[ $rc -eq 0 ] || { echo "exit code $rc"; cat "$work/wine.log"; fail=1; }

printf 'abc 0 -500\r\nspaces 0 5\r\nempty 0 0\r\nbig 0\r\nbig back 0\r\nrandom 0\r\nshort13 0\r\nzero 0\r\nclaims1g 0\r\ncut 0\r\nin place 0 -500\r\n' > "$work/log.want"
check log "$work/log.want" "$work/log.txt"

hdr() { printf '\x01\x00\x00\x00\x02\x00\x00\x00\x03\x00'; printf "$1"; }
{ hdr '\x03\x00\x00\x00'; printf '\x07abc'; } > "$work/abc.want"
check abc.kz "$work/abc.want" "$work/abc.kz"
check in-place "$work/abc.want" "$work/abc.txt"
{ hdr '\x12\x00\x00\x00'; printf '\x00\xF1\xFF'; } > "$work/spaces.want"
check spaces.kz "$work/spaces.want" "$work/spaces.kz"
hdr '\x00\x00\x00\x00' > "$work/empty.want"
check empty.kz "$work/empty.want" "$work/empty.kz"
check big.back "$work/big.bin" "$work/big.back"
n=$(stat -c %s "$work/big.bin")
printf '%08x' "$n" | sed 's/\(..\)\(..\)\(..\)\(..\)/\4 \3 \2 \1/' > "$work/len.want"
od -An -tx1 -j10 -N4 "$work/big.kz" | tr -d ' \n' > "$work/len.got"
[ "$(tr -d ' ' < "$work/len.want")" = "$(cat "$work/len.got")" ] || { echo "FAIL length field"; fail=1; }
: > "$work/nothing"
check short13 "$work/nothing" "$work/short13.back"
check zero "$work/nothing" "$work/zero.back"
printf 'abc' > "$work/abc3"
check claims1g "$work/abc3" "$work/claims1g.back"
check cut "$work/abc3" "$work/cut.back"
[ -f "$work/random.back" ] || { echo "FAIL random: no target"; fail=1; }
exit $fail

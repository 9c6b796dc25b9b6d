#!/usr/bin/env bash
# SECTIONENTRY and DELSECTIONENTRY checked byte for byte on the INI file, with
# a 10 KB value written and read back whole, and the refused inputs leaving
# the file untouched.
set -u
exe=$1
work=$(mktemp -d "${KES_TEST_TMP:-/tmp}/kt.files_ini.XXXXXX")
trap 'rm -rf "$work"' EXIT
win() { printf 'Z:%s' "${1//\//\\}"; }
W=$(win "$work")
fail=0

printf '; top comment\r\n[General]\r\nName = Old\r\nKeep=1\r\n\r\n[Other]\r\nA=1\r\n' > "$work/app.ini"
big=$(head -c 10240 /dev/zero | tr '\0' 'v')
{
  printf 'SET F=%s\\app.ini\r\n' "$W"
  printf 'SET O=%s\\out.txt\r\n' "$W"
  printf 'SECTIONENTRY %%F%%,General,Name\r\nAPPEND %%O%%,read: [%%SECTIONENTRY%%] %%ERROR%%\r\n'
  printf 'SECTIONENTRY %%F%%, General , Path ,C:\\x,y  \r\nAPPEND %%O%%,write with separator: %%ERROR%%\r\n'
  printf 'SECTIONENTRY %%F%%,General,Path\r\nAPPEND %%O%%,read back: [%%SECTIONENTRY%%] %%ERROR%%\r\n'
  printf 'SECTIONENTRY %%F%%,General,Name,New value\r\n'
  printf 'SECTIONENTRY %%F%%,General,Missing\r\nAPPEND %%O%%,missing entry: [%%SECTIONENTRY%%] %%ERROR%%\r\n'
  printf 'SECTIONENTRY %%F%%,Nowhere,Name\r\nAPPEND %%O%%,missing section: [%%SECTIONENTRY%%] %%ERROR%%\r\n'
  printf 'SECTIONENTRY %%F%%,General,Empty,\r\nAPPEND %%O%%,empty value: %%ERROR%%\r\n'
  printf 'SECTIONENTRY %%F%%,General,Empty\r\nAPPEND %%O%%,empty value read: [%%SECTIONENTRY%%] %%ERROR%%\r\n'
  printf 'SECTIONENTRY %%F%%,Big,Value,%s\r\nAPPEND %%O%%,10 KB write: %%ERROR%%\r\n' "$big"
  printf 'SECTIONENTRY %%F%%,Big,Value\r\nOUTPUT %s\\big.txt,%%SECTIONENTRY%%\r\n' "$W"
  printf 'DELSECTIONENTRY %%F%%,General,Keep\r\nAPPEND %%O%%,delete entry: %%ERROR%%\r\n'
  printf 'DELSECTIONENTRY %%F%%,Other,\r\nAPPEND %%O%%,delete section: %%ERROR%%\r\n'
  printf 'DELSECTIONENTRY %%F%%,Big\r\nAPPEND %%O%%,delete section 2: %%ERROR%%\r\n'
  # refused: each leaves the file as it is
  printf 'SECTIONENTRY %%F%%,General,Bad,x%%CR%%[Evil]\r\nAPPEND %%O%%,line break in value: %%ERROR%%\r\n'
  printf 'SECTIONENTRY %%F%%,General,A=B,x\r\nAPPEND %%O%%,= in entry: %%ERROR%%\r\n'
  printf 'SECTIONENTRY %%F%%,General,,x\r\nAPPEND %%O%%,empty entry: %%ERROR%%\r\n'
  printf 'SECTIONENTRY %%F%%,,Name,x\r\nAPPEND %%O%%,empty section: %%ERROR%%\r\n'
  printf 'SECTIONENTRY %%F%%,Gen]eral,Name,x\r\nAPPEND %%O%%,] in section: %%ERROR%%\r\n'
  printf 'SECTIONENTRY NUL,General,Name,x\r\nAPPEND %%O%%,NUL: %%ERROR%%\r\n'
  printf 'DELSECTIONENTRY %s\\none.ini,General,Name\r\nAPPEND %%O%%,delete in missing file: %%ERROR%%\r\n' "$W"
  printf 'SECTIONENTRY %s\\nofolder\\x.ini,General,Name,x\r\nAPPEND %%O%%,write in missing folder: %%ERROR%%\r\n' "$W"
  printf 'ATTRIB %s\\ro.ini,R\r\n' "$W"
  printf 'SECTIONENTRY %s\\ro.ini,General,Name,x\r\nAPPEND %%O%%,write read-only: %%ERROR%%\r\n' "$W"
} > "$work/t.kes"
printf '[General]\r\nName=ro\r\n' > "$work/ro.ini"
wine "$exe" "$(win "$work/t.kes")" </dev/null >/dev/null 2>&1

want_out='read: [Old] 0
write with separator: 0
read back: [C:\x,y] 0
missing entry: [] 1
missing section: [] 1
empty value: 0
empty value read: [] 1
10 KB write: 0
delete entry: 0
delete section: 0
delete section 2: 0
line break in value: 1
= in entry: 1
empty entry: 1
empty section: 1
] in section: 1
NUL: 52
delete in missing file: 1
write in missing folder: 1
write read-only: 1'
got=$(tr -d '\r' < "$work/out.txt")
if [ "$got" != "$want_out" ]; then echo "output differs:"; diff <(echo "$want_out") <(echo "$got"); fail=1; fi

printf '; top comment\r\n[General]\r\nName=New value\r\nPath=C:\\x,y\r\nEmpty=\r\n' > "$work/want.ini"
if ! cmp -s "$work/app.ini" "$work/want.ini"; then echo "app.ini differs:"; od -c "$work/app.ini" | head -20; fail=1; fi
printf '%s\r\n' "$big" > "$work/want_big.txt"
if ! cmp -s "$work/big.txt" "$work/want_big.txt"; then echo "10 KB value not read back whole ($(wc -c < "$work/big.txt") bytes)"; fail=1; fi
printf '[General]\r\nName=ro\r\n' | cmp -s - "$work/ro.ini" || { echo "read-only INI changed"; fail=1; }
[ -e "$work/none.ini" ] && { echo "DELSECTIONENTRY created a file"; fail=1; }
exit $fail

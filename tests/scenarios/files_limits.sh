#!/usr/bin/env bash
# File commands at the limits: a 5 GB (sparse) file, paths of 259 and 260
# characters, accented names, XDIR's date-time column, and EDIT starting the
# editor on a name with spaces.
set -u
exe=$1
work=$(mktemp -d "${KES_TEST_TMP:-/tmp}/kt.files_limits.XXXXXX")
trap 'rm -rf "$work"' EXIT
win() { printf 'Z:%s' "${1//\//\\}"; }
W=$(win "$work")
fail=0

mkdir -p "$work/big" "$work/long" "$work/acc"
truncate -s 5G "$work/big/huge.bin" || { echo "no sparse file"; exit 1; }
printf 'XY' | dd of="$work/big/huge.bin" bs=1 seek=4294967298 conv=notrunc status=none
printf '12345' > "$work/big/small.txt"
touch -d '2024-03-05 06:07:08' "$work/big/small.txt"

# a folder name that brings "<folder>\f.txt" to exactly 259 characters
prefix="$W\\long\\"
n=$((259 - ${#prefix} - 6))
dname=$(head -c "$n" /dev/zero | tr '\0' 'd')
mkdir -p "$work/long/$dname"
printf 'ok' > "$work/long/$dname/f.txt"
printf 'no' > "$work/long/$dname/f.txtx"
L="$prefix$dname"

printf 'x' > "$work/acc/"$'caf\xc3\xa9 \xc3\xbc.txt'

{
  printf 'SET O=%s\\out.txt\r\n' "$W"
  printf 'SIZE %s\\big\\huge.bin\r\nAPPEND %%O%%,size 5 GB: %%SIZE%% %%ERROR%%\r\n' "$W"
  printf 'BINGET %s\\big\\huge.bin,4294967298,2\r\nAPPEND %%O%%,binget above 4 GB: %%BINGET%% %%ERROR%%\r\n' "$W"
  printf 'BINGET %s\\big\\huge.bin,5368709119,5,HEX\r\nAPPEND %%O%%,last byte: %%BINGET%% %%ERROR%%\r\n' "$W"
  printf 'BINGET %s\\big\\huge.bin,5368709120\r\nAPPEND %%O%%,past the end: %%ERROR%%\r\n' "$W"
  printf 'XSIZE %s\\big\r\nAPPEND %%O%%,xsize: %%XSIZE%% %%XSIZE.FILES%%\r\n' "$W"
  printf 'SIZE %s\\big\\*.*\r\nAPPEND %%O%%,size of both: %%SIZE%%\r\n' "$W"
  printf 'XDIR %s\\big\r\nEXTRACT %%XDIR1%%,1,33\r\nAPPEND %%O%%,xdir: [%%EXTRACT%%]\r\n' "$W"
  printf 'EXTRACT %%XDIR2%%,1,33\r\nAPPEND %%O%%,xdir: [%%EXTRACT%%]\r\n'
  printf 'SIZE %s\\f.txt\r\nAPPEND %%O%%,259 characters: %%SIZE%% %%ERROR%%\r\n' "$L"
  printf 'BINGET %s\\f.txt,0,2\r\nAPPEND %%O%%,  binget: %%BINGET%% %%ERROR%%\r\n' "$L"
  printf 'COPY %s\\f.txt,%s\\long\\copy.txt\r\nAPPEND %%O%%,  copy out: %%ERROR%%\r\n' "$L" "$W"
  printf 'COPY %s\\long\\copy.txt,%s\\\r\nAPPEND %%O%%,  copy in: %%ERROR%%\r\n' "$W" "$L"
  printf 'SIZE %s\\f.txtx\r\nAPPEND %%O%%,260 characters: %%ERROR%%\r\n' "$L"
  printf 'COPY %s\\long\\copy.txt,%s\\f.txtx\r\nAPPEND %%O%%,  copy onto: %%ERROR%%\r\n' "$W" "$L"
  printf 'DEL %s\\f.txtx\r\nAPPEND %%O%%,  del: %%ERROR%%\r\n' "$L"
  printf 'DIR %s\\*.*\r\nAPPEND %%O%%,  dir of the folder: %%NDIR%% %%DIR1%%\r\n' "$L"
  printf 'DEL %s\\f.txt\r\nAPPEND %%O%%,  del 259: %%ERROR%%\r\n' "$L"
  printf 'OUTPUT %s\\acc\\na\xefve \xe9t\xe9.txt,x\r\n' "$W"
  printf 'COPY %s\\acc\\na\xefve \xe9t\xe9.txt,%s\\acc\\\xc0 copier.txt\r\nAPPEND %%O%%,accented copy: %%ERROR%%\r\n' "$W" "$W"
  printf 'REN %s\\acc\\\xc0 copier.txt,%s\\acc\\\xdcber.txt\r\nAPPEND %%O%%,accented rename: %%ERROR%%\r\n' "$W" "$W"
  printf 'DIR %s\\acc\r\nAPPEND %%O%%,accented dir: %%NDIR%% %%DIR1%% / %%DIR2%% / %%DIR3%%\r\n' "$W"
  printf 'EDIT %s\\acc\\my notes.txt\r\nAPPEND %%O%%,edit: %%ERROR%%\r\n' "$W"
  printf 'EDIT CON\r\nAPPEND %%O%%,edit CON: %%ERROR%%\r\n'
  # UNC paths to a host that does not exist: not found, quickly
  printf 'SIZE \\\\nohost\\share\\x.txt\r\nAPPEND %%O%%,unc size: %%ERROR%%\r\n'
  printf 'COPY \\\\nohost\\share\\x.txt,%s\r\nAPPEND %%O%%,unc copy from: %%ERROR%%\r\n' "$W"
  printf 'COPY %s\\big\\small.txt,\\\\nohost\\share\\\r\nAPPEND %%O%%,unc copy to: %%ERROR%%\r\n' "$W"
  printf 'XDIR \\\\nohost\\share\r\nAPPEND %%O%%,unc xdir: %%ERROR%%\r\n'
} > "$work/t.kes"
wine "$exe" "$(win "$work/t.kes")" </dev/null >/dev/null 2>&1

stamp=$(date -d '2024-03-05 06:07:08' '+%Y/%m/%d_%H:%M:%S')
want=$(printf '%s\n' \
  'size 5 GB: 5368709120 0' \
  'binget above 4 GB: XY 0' \
  'last byte: 00 0' \
  'past the end: 62' \
  'xsize: 5368709125 2' \
  'size of both: 5368709125' \
  "xdir: [XXXX/XX/XX_XX:XX:XX    5368709120]" \
  "xdir: [$stamp             5]" \
  '259 characters: 2 0' \
  'binget: ok 0' \
  'copy out: 0' \
  'copy in: 52' \
  '260 characters: 52' \
  'copy onto: 52' \
  'del: 52' \
  'dir of the folder: 2 f.txt' \
  'del 259: 0' \
  'accented copy: 0' \
  'accented rename: 0' \
  'dir: 3' \
  'edit: 0' \
  'edit CON: 52' \
  'unc size: N' 'unc copy from: N' 'unc copy to: N' 'unc xdir: N')
got=$(tr -d '\r' < "$work/out.txt" | iconv -f CP1252 -t UTF-8 | sed -E 's#^xdir: \[[0-9]{4}/[0-9]{2}/[0-9]{2}_[0-9:]{8}(    5368709120\])#xdir: [XXXX/XX/XX_XX:XX:XX\1#')
got=$(printf '%s\n' "$got" | sed -E 's#^accented dir: 3 (.*)#dir: 3#; s#^(unc [a-z ]+): (53|76)$#\1: N#')
if [ "$got" != "$want" ]; then echo "output differs:"; diff <(echo "$want") <(echo "$got"); fail=1; fi
names=$(tr -d '\r' < "$work/out.txt" | iconv -f CP1252 -t UTF-8 | sed -n 's/^accented dir: 3 //p')
[ "$names" = "café ü.txt / naïve été.txt / Über.txt" ] ||
  { echo "accented names: $names"; fail=1; }
[ -e "$work/acc/naïve été.txt" ] && [ -e "$work/acc/Über.txt" ] || { echo "accented files missing"; ls "$work/acc"; fail=1; }
# the editor was started on the name with spaces: end it
pid=$(ps -eo pid,args | grep -i 'notepad.exe' | grep -F 'my notes.txt' | grep -v grep | awk '{print $1}' | head -1)
if [ -z "$pid" ]; then
  sleep 1
  pid=$(ps -eo pid,args | grep -i 'notepad.exe' | grep -F 'my notes.txt' | grep -v grep | awk '{print $1}' | head -1)
fi
if [ -n "$pid" ]; then kill "$pid"; else echo "editor not started"; fail=1; fi
exit $fail

#!/usr/bin/env bash
# Packaged executables from outside: the descriptor the build fixed, then
# CREATEEXE (files embedded once, INCLUDE, comments dropped, icon, version,
# credentials, LIGHT), CREATEDLL, PLUG; the packaged run with its files,
# ADDONWRITE, the SET guard, EXIT; packaging a packaged executable again;
# /PLUG; and damaged packages (cut short, empty, a name leaving the temp
# folder), which run nothing, exit 13 and say why in the log.
. "$(dirname "$0")/../harness/scenario-lib.sh"
BIN=$(dirname "$EXE")
TOOL=$BIN/kesimage
D=$S/app
mkdir -p "$D" "$S/log"
cp "$EXE" "$BIN/KesLight.exe" "$BIN/Kestrova.DLL" "$D/"
export KTEST_OUT=$(winpath "$S/out.txt")
export DIRLOG=$(winpath "$S/log")
export PD=$(winpath "$D/x"); PD=${PD%\\x}
field() { "$TOOL" --dump "$1" | awk -v k="$2" '$1 == k { print $2, $3 }'; }
# same_image A B N: the first N bytes of A and B are the same but for the
# descriptor values the packager writes (main block, options).
same_image() {
  python3 - "$@" <<'PY'
import sys
a, b, n = open(sys.argv[1], 'rb').read(), open(sys.argv[2], 'rb').read(), int(sys.argv[3])
def masked(x):
    x = bytearray(x[:n])
    for tag, size in ((b'KESPKG3:', 14), (b'KESPKGO:', 146)):
        i = x.find(tag)
        if i >= 0: x[i + 8:i + 8 + size] = b'.' * size
    return x
sys.exit(0 if masked(a) == masked(b) else 1)
PY
}

# The build: first block right after the linked image, main block right
# after the first, in every interpreter image.
for img in Kestrova.exe KesLight.exe Kestrova.DLL; do
  size=$(stat -c %s "$D/$img")
  read -r fpos flen <<<"$(field "$D/$img" first)"
  read -r mpos mlen <<<"$(field "$D/$img" main)"
  expect_eq "$mpos" $((size + 1)) "$img main block offset"
  expect_eq $((fpos + flen)) "$mpos" "$img first block end"
  expect_eq "$mlen" 0 "$img main block length"
  [ "$size" -lt 1000000 ] || fail "$img is $size bytes, over the 6-digit offsets"
done

printf 'hello data\r\nline two\r\n' > "$D/data.txt"
python3 -c "import random,sys; random.seed(7); sys.stdout.buffer.write(bytes(random.randrange(256) for _ in range(3000)))" > "$D/pic.bin"
python3 - "$D/other.ico" <<'PY'
import sys
hdr = bytes.fromhex('28000000200000004000000001000400000000008002')
img = hdr + bytes(range(100, 118)) + bytes((i * 7) & 255 for i in range(744 - 40))
d = bytes.fromhex('000001000100') + bytes([32, 32, 16, 0, 1, 0, 4, 0]) + (744).to_bytes(4, 'little') + (22).to_bytes(4, 'little')
open(sys.argv[1], 'wb').write(d + img)
PY
python3 - "$D/pic.bmp" <<'PY'
import struct, sys
w, h = 4, 3
row = bytes([0, 0, 255] * w)  # red, 12 bytes: no padding
bits = row * h
head = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(bits), 2835, 2835, 0, 0)
open(sys.argv[1], 'wb').write(b'BM' + struct.pack('<IHHI', 14 + 40 + len(bits), 0, 0, 54) + head + bits)
PY
cat > "$D/app.kes" <<'KES'
; a comment line, dropped
' another, dropped
REM and a third
SET ADDONLIST1=%SCRIPTPATH%\data.txt
SET ADDONLIST2=%SCRIPTPATH%\DATA.TXT
SET IMAGELIST1=%SCRIPTPATH%\pic.bin
SET IMAGELIST2=%SCRIPTPATH%\pic.bmp
INCLUDE %SCRIPTPATH%\lib.kes
SET ADDON%NOTHING%LIST1=changed
ADDONWRITE ADDONLIST1
APPEND %KTEST_OUT%,app %ERROR% %CREATEEXE% %NARG% [%ARG1%] [%ARG2%] [%ADMINACCOUNT%,%ADMINDOMAIN%,%ADMINPASSWORD%]
APPEND %KTEST_OUT%,written %ADDONWRITE%
LINE %ADDONLIST1%,2
APPEND %KTEST_OUT%,line %LINE%
ADDONWRITE IMAGELIST1,%PD%\pic.out
APPEND %KTEST_OUT%,image %ERROR%
ADDONWRITE ADDONLIST9
APPEND %KTEST_OUT%,missing %ERROR%
PICTURE %IMAGELIST2%,0,0
APPEND %KTEST_OUT%,picture from memory %ERROR%
PICTURE OFF
PICTURE %IMAGELIST1%
APPEND %KTEST_OUT%,not a bitmap %ERROR%
CALLSUB Helper
EXIT
APPEND %KTEST_OUT%,not reached
KES
printf 'SUB Helper\r\nAPPEND %%KTEST_OUT%%,helper from the include\r\nENDSUB\r\n' > "$D/lib.kes"
printf 'APPEND %%KTEST_OUT%%,second ran %%CREATEEXE%%\r\n' > "$D/second.kes"
printf 'SET ADDONLIST1=%%SCRIPTPATH%%\\data.txt\r\nSET ADDON%%NOTHING%%LIST1=changed\r\nADDONWRITE ADDONLIST1,%%PD%%\\plug.out\r\nAPPEND %%KTEST_OUT%%,plug %%ERROR%% %%CREATEEXE%% %%ADDONWRITE%%\r\n' > "$D/plugged.kes"
cat > "$S/make.kes" <<'KES'
CREATEEXE %PD%\app.kes,%PD%\app.exe
APPEND %KTEST_OUT%,createexe %ERROR%
CREATEEXE %PD%\app.kes,%PD%\noext
APPEND %KTEST_OUT%,no target %ERROR%
CREATEEXE %PD%\rev.exe,%PD%\second.kes
APPEND %KTEST_OUT%,reversed %ERROR%
CREATEEXE %PD%\app.kes,%PD%\light.exe,,,,,light
APPEND %KTEST_OUT%,light %ERROR%
CREATEEXE %PD%\app.kes,%PD%\iconver.exe,adm,CORP,p w,,,%PD%\other.ico,9.8.7.6
APPEND %KTEST_OUT%,icon and version %ERROR%
CREATEEXE %PD%\app.kes,%PD%\long.exe,aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa,bbbbbbbbbbbbbbbbbbbbbbbbbbbbbb,cccccccccccccccc
APPEND %KTEST_OUT%,credentials too long %ERROR%
CREATEEXE %PD%\app.kes,%PD%\badicon.exe,,,,,,%PD%\data.txt
APPEND %KTEST_OUT%,bad icon %ERROR%
CREATEEXE %PD%\second.kes,%PD%\once.exe,,,,ONCE
APPEND %KTEST_OUT%,once %ERROR%
CREATEDLL %PD%\second.kes,%PD%\second.dll
APPEND %KTEST_OUT%,createdll %ERROR%
PLUG %PD%\plugged.kes,%PD%\plugged.kpg
APPEND %KTEST_OUT%,plug %ERROR%
KES
run_kes "$(winpath "$S/make.kes")"
expect_eq "$(content "$S/out.txt")" "createexe 0
no target 1
reversed 0
light 0
icon and version 0
credentials too long 1
bad icon 1
once 0
createdll 0
plug 0" "the packaging commands"
[ -e "$D/long.exe" ] || [ -e "$D/badicon.exe" ] || [ -e "$D/noext" ] && fail "a refused target was written"
rm -f "$S/out.txt"

# (The SET above is not an ADDONLIST line when it is packaged; in the run
# it becomes one, and the guard ignores it.)
# What went into the package: each file once, the comments out, the
# included lines after the script's last line, INCLUDE lines themselves gone.
dump=$("$TOOL" --dump "$D/app.exe")
expect_eq "$(grep -c '^entry' <<<"$dump")" 3 "embedded entries"
grep -q '^entry DATA.TXT ADDONLIST1 22$' <<<"$dump" || fail "data entry: $dump"
grep -q '^entry PIC.BIN IMAGELIST1 3000$' <<<"$dump" || fail "picture entry"
script=$(sed -n '/^---$/,$p' <<<"$dump" | tr -d '\r')
grep -qi 'comment\|dropped\|^REM\|^INCLUDE' <<<"$script" && fail "comments or INCLUDE kept: $script"
expect_eq "$(tail -3 <<<"$script" | head -1)" "SUB Helper" "included lines at the end"
read -r mpos mlen <<<"$(field "$D/app.exe" main)"
expect_eq "$mpos" $(($(stat -c %s "$D/Kestrova.exe") + 1)) "app.exe main block offset"
expect_eq $((mpos - 1 + mlen)) "$(stat -c %s "$D/app.exe")" "app.exe main block length"
# LIGHT took KesLight.exe's image (smaller: it has no trace window); the
# icon and version went into theirs.
same_image "$D/light.exe" "$D/KesLight.exe" "$(stat -c %s "$D/KesLight.exe")" || fail "light.exe is not made from KesLight.exe"
python3 - "$D/iconver.exe" "$D/other.ico" <<'PY' || fail "icon or version not replaced"
import sys
exe, ico = open(sys.argv[1], 'rb').read(), open(sys.argv[2], 'rb').read()
assert exe.count(ico[22:]) == 2, exe.count(ico[22:])
assert '9.8.7.6'.encode('utf-16-le') in exe
PY

# The packaged run: its files, variables and arguments; EXIT ends it.
(cd "$D" && timeout -k 5 60 wine ./iconver.exe one "two" </dev/null >>"$S/wine.log" 2>&1)
out=$(content "$S/out.txt")
extracted=$(sed -n 's/^written //p' <<<"$out")
expect_eq "$out" "app 0 1 2 [one] [two] [adm,CORP,p w]
written $extracted
line line two
image 0
missing 53
picture from memory 0
not a bitmap 53
helper from the include" "packaged run"
case "$extracted" in *\\[0-9]*_DATA.TXT) ;; *) fail "extraction path [$extracted]" ;; esac
cmp -s "$D/pic.out" "$D/pic.bin" || fail "ADDONWRITE to a given path"
unix=$(winepath -u "$extracted" 2>/dev/null)
[ -n "$unix" ] && [ -e "$unix" ] && fail "extracted file left after exit: $unix"
rm -f "$S/out.txt"

# A packaged executable packages again from its own image (here from a
# script it calls): the new main block starts right after the interpreter
# image again. /PLUG runs the
# package of another file.
printf 'CREATEEXE %%PD%%\\second.kes,%%PD%%\\again.exe\r\nAPPEND %%KTEST_OUT%%,again %%ERROR%%\r\n' > "$D/called.kes"
printf 'CALL %%PD%%\\called.kes\r\n' > "$D/repack.kes"
printf 'CREATEEXE %%PD%%\\repack.kes,%%PD%%\\repack.exe\r\n' > "$S/make2.kes"
run_kes "$(winpath "$S/make2.kes")"
mkdir -p "$S/alone"  # no Kestrova.exe beside it: its own image is the one
mv "$D/repack.exe" "$S/alone/"
(cd "$S/alone" && timeout -k 5 60 wine ./repack.exe </dev/null >>"$S/wine.log" 2>&1)
(cd "$D" && timeout -k 5 60 wine ./again.exe </dev/null >>"$S/wine.log" 2>&1)
read -r apos alen <<<"$(field "$D/again.exe" main)"
expect_eq "$apos" "$mpos" "main block offset after packaging again"
same_image "$D/again.exe" "$D/Kestrova.exe" $((mpos - 1)) || fail "again.exe image differs from Kestrova.exe"
(cd "$D" && timeout -k 5 60 wine ./app.exe /PLUG "$(winpath "$D/rev.exe")" </dev/null >>"$S/wine.log" 2>&1)
# A plug file runs like a script; the DLL form runs its package through rundll32.
run_kes "$(winpath "$D/plugged.kpg")"
(cd "$D" && timeout -k 5 60 wine rundll32 "$(winpath "$D/second.dll")",Run </dev/null >>"$S/wine.log" 2>&1)
expect_eq "$(content "$S/out.txt")" "again 0
second ran 1
second ran 1
plug 0 0 $(winpath "$D/plug.out")
second ran 1" "packaging again, /PLUG, plug file, DLL form"
cmp -s "$D/plug.out" "$D/data.txt" || fail "plug file's embedded file"
rm -f "$S/out.txt"

# PACK: the stub of the first block unpacks the listed files, a relative
# destination beside itself, folders made as needed.
cat > "$S/pack.kes" <<'KES'
PACKJOIN %PD%\data.txt,sub\d1.txt
PACKJOIN %PD%\pic.bin,%PD%\unpacked\deep\pic.bin
PACKJOIN %PD%\nothere.txt,x.txt
APPEND %KTEST_OUT%,join %ERROR% %PACKJOIN%
PACK %PD%\packed.exe
APPEND %KTEST_OUT%,pack %ERROR% %PACK%
PACKJOIN
APPEND %KTEST_OUT%,cleared %ERROR% %PACKJOIN%
PACK %PD%\empty.exe
APPEND %KTEST_OUT%,empty list %ERROR%
KES
run_kes "$(winpath "$S/pack.kes")"
expect_eq "$(content "$S/out.txt")" "join 53 2
pack 0 -13
cleared 0 0
empty list 1" "PACK and PACKJOIN"
rm -f "$S/out.txt"
mkdir -p "$S/elsewhere"
cp "$D/packed.exe" "$S/elsewhere/"
(cd "$S/elsewhere" && timeout -k 5 60 wine ./packed.exe </dev/null >>"$S/wine.log" 2>&1)
expect_eq "$?" 0 "packed.exe exit code"
cmp -s "$S/elsewhere/sub/d1.txt" "$D/data.txt" || fail "packed.exe: relative destination"
cmp -s "$D/unpacked/deep/pic.bin" "$D/pic.bin" || fail "packed.exe: absolute destination"
[ "$(stat -c %s "$D/packed.exe")" -lt 20000 ] || fail "the stub is not small"
head -c $(($(stat -c %s "$D/packed.exe") - 5)) "$D/packed.exe" > "$S/elsewhere/cutpack.exe"
(cd "$S/elsewhere" && timeout -k 5 60 wine ./cutpack.exe </dev/null >>"$S/wine.log" 2>&1)
expect_eq "$?" 13 "cut packed.exe exit code"

# ONCE: the executable deletes itself at exit.
(cd "$D" && timeout -k 5 60 wine ./once.exe </dev/null >>"$S/wine.log" 2>&1)
for _ in $(seq 1 50); do [ -e "$D/once.exe" ] || break; sleep 0.1; done
[ -e "$D/once.exe" ] && fail "once.exe is still there"
expect_eq "$(content "$S/out.txt")" "second ran 1" "once.exe ran"
rm -f "$S/out.txt"

# Damaged packages run nothing, exit with 13 and log why.
size=$(stat -c %s "$D/app.exe")
head -c $((size - 10)) "$D/app.exe" > "$D/cut.exe"
head -c $((mpos - 1)) "$D/app.exe" > "$D/empty.exe"
python3 - "$D/app.exe" "$D/evil.exe" "$D/evil.kpg" "$D/bad.kpg" $((mpos - 1)) <<'PY'
import sys
src, evil, evilplug, badplug, img = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4], int(sys.argv[5])
def entry(name, var, content):
    n = len(name) + 1 + len(var) + 4 + len(content)
    return b'%08d' % n + name + b'\0' + var + b'\x00\x01\x02\x03' + content
def literal(b):  # a stream of literals only
    return b''.join(bytes([(1 << len(b[i:i+8])) - 1]) + b[i:i+8] for i in range(0, len(b), 8))
sec = entry(b'..\\EVIL.TXT', b'ADDONLIST1', b'x') + entry(b'TEMP#', b'#', b'00000')
body = b'%08d' % len(sec) + sec + b'APPEND %KTEST_OUT%,evil ran\0'
block = literal(body)
image = bytearray(open(src, 'rb').read()[:img])
i = image.find(b'KESPKG3:') + 8 + 6
image[i:i+8] = b'%08d' % len(block)
open(evil, 'wb').write(bytes(image) + block)
mark = b'\xfe\xff' * 5
open(evilplug, 'wb').write(mark + block + mark)
bad = b'00099999' + body[8:]
open(badplug, 'wb').write(mark + literal(bad) + mark)
open(badplug.replace('bad.kpg', 'zero.kpg'), 'wb').write(mark + mark)
PY
for f in cut empty evil; do
  (cd "$D" && timeout -k 5 60 wine ./$f.exe </dev/null >>"$S/wine.log" 2>&1)
  expect_eq "$?" 13 "$f.exe exit code"
done
for f in evil bad zero; do
  run_kes "$(winpath "$D/$f.kpg")"
  expect_eq "$RC" 13 "$f.kpg exit code"
done
expect_eq "$(content "$S/out.txt")" "" "a damaged package ran"
log=$(cat "$S"/log/* | tr -d '\r')
expect_eq "$(grep -c 'Package: .*cut short' <<<"$log")" 2 "cut short packages in the log"
expect_eq "$(grep -c 'Package: entry name refused: ..\\EVIL.TXT' <<<"$log")" 2 "refused names in the log"
grep -q 'Package: entry of 99999 bytes past\|Package: file section of 99999' <<<"$log" || fail "bad length not logged: $log"
grep -q 'Package: empty package' <<<"$log" || fail "empty plug file not logged"
find "$WINEPREFIX/drive_c/users" -name 'EVIL.TXT' | grep -q . && fail "EVIL.TXT written"
finish

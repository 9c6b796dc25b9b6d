#!/usr/bin/env bash
# Signing packaged executables with osslsigncode and a throw-away
# certificate: the package is a plain overlay, so the signed file verifies
# and still runs its package (the reader takes the descriptor's length, not
# the file's end, and the certificate table follows the package). Packaging
# again from a signed packaged executable, or from a signed Kestrova.exe,
# drops the old signature; the result signs and runs again.
. "$(dirname "$0")/../harness/scenario-lib.sh"
D=$S/app
mkdir -p "$D"
cp "$EXE" "$D/Kestrova.exe"
export KTEST_OUT=$(winpath "$S/out.txt")
export PD=$(winpath "$D/x"); PD=${PD%\\x}
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$S/key.pem" -out "$S/cert.pem" -days 2 \
  -subj "/CN=Kestrova test signer" >/dev/null 2>&1 || fail "openssl could not make the certificate"
sign() { osslsigncode sign -certs "$S/cert.pem" -key "$S/key.pem" -n "Kestrova test" -in "$1" -out "$2" >/dev/null 2>&1; }
verify() { osslsigncode verify -CAfile "$S/cert.pem" -in "$1" >/dev/null 2>&1; }

printf 'hello\r\n' > "$D/data.txt"
printf 'SET ADDONLIST1=%%SCRIPTPATH%%\\data.txt\r\nADDONWRITE ADDONLIST1\r\nLINE %%ADDONLIST1%%,1\r\nAPPEND %%KTEST_OUT%%,app ran %%ERROR%% %%LINE%%\r\nCREATEEXE %%PD%%\\second.kes,%%PD%%\\again.exe\r\nAPPEND %%KTEST_OUT%%,repackaged %%ERROR%%\r\n' > "$D/app.kes"
printf 'APPEND %%KTEST_OUT%%,second ran\r\n' > "$D/second.kes"
printf 'CREATEEXE %%PD%%\\app.kes,%%PD%%\\app.exe\r\n' > "$S/make.kes"
run_kes "$(winpath "$S/make.kes")"
sign "$D/app.exe" "$D/signed.exe" || fail "osslsigncode sign"
verify "$D/signed.exe" || fail "the signed executable does not verify"
[ "$(stat -c %s "$D/signed.exe")" -gt "$(stat -c %s "$D/app.exe")" ] || fail "no certificate table appended"
(cd "$D" && timeout -k 5 60 wine ./signed.exe </dev/null >>"$S/wine.log" 2>&1)
expect_eq "$?" 0 "signed.exe exit code"
# again.exe was made by the signed executable from its own image
verify "$D/again.exe" && fail "again.exe kept the old signature"
sign "$D/again.exe" "$D/again-signed.exe" || fail "signing again.exe"
verify "$D/again-signed.exe" || fail "again-signed.exe does not verify"
(cd "$D" && timeout -k 5 60 wine ./again-signed.exe </dev/null >>"$S/wine.log" 2>&1)
# a signed interpreter as the image
sign "$D/Kestrova.exe" "$D/Kestrova-signed.exe" && mv "$D/Kestrova-signed.exe" "$D/Kestrova.exe"
verify "$D/Kestrova.exe" || fail "signed Kestrova.exe does not verify"
printf 'CREATEEXE %%PD%%\\second.kes,%%PD%%\\fromsigned.exe\r\nAPPEND %%KTEST_OUT%%,from signed %%ERROR%%\r\n' > "$S/make2.kes"
# (only Kestrova.exe lies in this folder: the other images are missing)
printf 'CREATEEXE %%PD%%\\second.kes,%%PD%%\\light.exe,,,,,LIGHT\r\nAPPEND %%KTEST_OUT%%,no KesLight.exe %%ERROR%%\r\nCREATEDLL %%PD%%\\second.kes,%%PD%%\\x.dll\r\nAPPEND %%KTEST_OUT%%,no Kestrova.DLL %%ERROR%%\r\n' >> "$S/make2.kes"
(cd "$D" && timeout -k 5 60 wine ./Kestrova.exe "$(winpath "$S/make2.kes")" </dev/null >>"$S/wine.log" 2>&1)
verify "$D/fromsigned.exe" && fail "fromsigned.exe kept the interpreter's signature"
sign "$D/fromsigned.exe" "$D/fromsigned2.exe" && verify "$D/fromsigned2.exe" || fail "fromsigned.exe does not sign"
(cd "$D" && timeout -k 5 60 wine ./fromsigned2.exe </dev/null >>"$S/wine.log" 2>&1)
expect_eq "$(content "$S/out.txt")" "app ran 0 hello
repackaged 0
second ran
from signed 0
no KesLight.exe 53
no Kestrova.DLL 53
second ran" "signed runs"
finish

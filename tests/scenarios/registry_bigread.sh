#!/usr/bin/env bash
# A string value larger than the 256,000-byte transfer buffer, stored by
# another program (Wine's regedit), is read whole by REGKEYGET: REG_SZ and
# REG_EXPAND_SZ of 300,000 characters, and a multi-string of two such parts.
set -u
exe=$1
work=$(mktemp -d "${KES_TEST_TMP:-/tmp}/kt.registry_bigread.XXXXXX")
trap 'rm -rf "$work"' EXIT
key='HKEY_CURRENT_USER\Software\KestrovaTest\bigread'
winpath() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }
fail=0
big=$(head -c 300000 /dev/zero | tr '\0' 'q')
# The multi-string holds two strings of 150,000 characters each.
half=$(head -c 150000 /dev/zero | tr '\0' 'm')
hexhalf=$(head -c 150000 /dev/zero | tr '\0' 'm' | od -An -v -tx1 | tr -s ' \n' ',' | sed 's/^,//; s/,$//')
{
  printf 'REGEDIT4\r\n\r\n[%s]\r\n' "$key"
  printf '"sz"="%s"\r\n' "$big"
  printf '"exp"=hex(2):'; printf '%s' "$big" | od -An -v -tx1 | tr -s ' \n' ',' | sed 's/^,//'; printf '00\r\n'
  printf '"multi"=hex(7):%s,00,%s,00,00\r\n' "$hexhalf" "$hexhalf"
} > "$work/big.reg"
wine regedit /S "$(winpath "$work/big.reg")" >/dev/null 2>&1
cat >"$work/read.kes" <<KES
SET K=$key
SET O=$(winpath "$work/out.txt")
REGKEYGET %K%,sz
SET T=sz %REGKEYTYPE% %ERROR%
OUTPUT $(winpath "$work/sz.txt"),%REGKEYGET%
OUTPUT %O%,%T%
REGKEYGET %K%,exp
SET T=exp %REGKEYTYPE% %ERROR%
OUTPUT $(winpath "$work/exp.txt"),%REGKEYGET%
APPEND %O%,%T%
REGKEYGET %K%,multi
SET T=multi %REGKEYTYPE% %ERROR%
OUTPUT $(winpath "$work/multi.txt"),%REGKEYGET%
APPEND %O%,%T%
REGKEYDEL %K%
APPEND %O%,cleaned %ERROR%
KES
timeout -k 5 60 wine "$exe" "$(winpath "$work/read.kes")" </dev/null >"$work/wine.log" 2>&1
want='sz REG_SZ 0
exp REG_EXPAND_SZ 0
multi REG_MULTI_SZ 0
cleaned 0'
got=$(tr -d '\r' < "$work/out.txt" 2>/dev/null)
if [ "$got" != "$want" ]; then echo "output differs:"; diff <(echo "$want") <(echo "$got"); fail=1; fi
for v in sz exp; do
  if [ "$(tr -d '\r\n' < "$work/$v.txt" 2>/dev/null)" != "$big" ]; then
    echo "$v not read whole ($(wc -c < "$work/$v.txt" 2>/dev/null) bytes)"; fail=1
  fi
done
if [ "$(tr -d '\r\n' < "$work/multi.txt" 2>/dev/null)" != "$half,$half" ]; then
  echo "multi not read whole ($(wc -c < "$work/multi.txt" 2>/dev/null) bytes)"; fail=1
fi
if wine reg query "$key" >/dev/null 2>&1; then
  echo "$key left behind"; fail=1
  wine reg delete "$key" /f >/dev/null 2>&1
fi
exit $fail

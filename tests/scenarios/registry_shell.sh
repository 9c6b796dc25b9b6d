#!/usr/bin/env bash
# What REGKEYSET stores, seen from outside the interpreter with Wine's own
# reg tool: type and bytes of each value, and the keys gone after REGKEYDEL.
set -u
exe=$1
work=$(mktemp -d "${KES_TEST_TMP:-/tmp}/kt.registry_shell.XXXXXX")
trap 'rm -rf "$work"' EXIT
key='HKCU\Software\KestrovaTest\shell'
cat >"$work/set.kes" <<'KES'
SET K=HKEY_CURRENT_USER\Software\KestrovaTest\shell
REGKEYSET %K%,sz,plain text,REG_SZ
VARSEP #
REGKEYSET #K#,exp,%SystemRoot%\x,REG_EXPAND_SZ
VARSEP %
REGKEYSET %K%,bin,00 A0 FF,REG_BINARY
REGKEYSET %K%,dw,-1,REG_DWORD
REGKEYSET %K%,multi,a,b,REG_MULTI_SZ
REGKEYSET %K%,DEFAULT,unnamed,REG_SZ
REGKEYNEW %K%\child
KES
winpath() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }
fail=0
timeout -k 5 60 wine "$exe" "$(winpath "$work/set.kes")" </dev/null >"$work/wine.log" 2>&1
q=$(wine reg query "$key" 2>/dev/null | tr -d '\r')
check() {
  if ! grep -qE "$1" <<<"$q"; then echo "missing: $1"; fail=1; fi
}
check '^ +sz +REG_SZ +plain text$'
check '^ +exp +REG_EXPAND_SZ +%SystemRoot%\\x$'
check '^ +bin +REG_BINARY +00A0FF$'
check '^ +dw +REG_DWORD +0xffffffff$'
check '^ +multi +REG_MULTI_SZ +a\\0b$'
check '^ +\(Default\) +REG_SZ +unnamed$'
check 'shell\\child$'
cat >"$work/del.kes" <<'KES'
SET K=HKEY_CURRENT_USER\Software\KestrovaTest\shell
REGKEYDEL %K%\child
REGKEYDEL %K%
KES
timeout -k 5 60 wine "$exe" "$(winpath "$work/del.kes")" </dev/null >>"$work/wine.log" 2>&1
# Other registry tests may be using the parent key at the same time: only
# this test's own key must be gone.
if wine reg query "$key" >/dev/null 2>&1; then
  echo "$key left behind"; fail=1
  wine reg delete "$key" /f >/dev/null 2>&1
fi
[ $fail = 0 ] || { echo "reg query said:"; echo "$q"; }
exit $fail

#!/usr/bin/env bash
# A 100 MB download from nginx compared byte for byte, with its cache copy;
# then the same address again, now answered from the cache copy.
. "$(dirname "$0")/../harness/scenario-lib.sh"
. "$(dirname "$0")/../harness/net-servers.sh"
start_nginx || { fail "nginx"; finish_net; }
export KTEST_OUT=$(winpath "$S/out.txt")
export KT_W=$(winpath "$S/w")
export KT_NGINX=127.0.0.1:$NGINX_PORT
mkdir -p "$S/w" "$NET/nginx/www/large"
head -c $((100 * 1024 * 1024)) /dev/urandom > "$NET/nginx/www/large/big.bin"
cat > "$S/large.kes" <<'KES'
SET K=HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Internet Settings
REGKEYSET %K%,ProxyEnable,1,REG_DWORD
REGKEYSET %K%,ProxyServer,%KT_NGINX%,REG_SZ
HTTP PROXY,ON
REGKEYSET %K%,ProxyEnable,0,REG_DWORD
HTTP GET,kes.test/large/big.bin,%KT_W%\big.bin
OUTPUT %KTEST_OUT%,download %ERROR%
HTTP GET,kes.test/large/big.bin,%KT_W%\again.bin
APPEND %KTEST_OUT%,from the cache %ERROR%
KES
sed -i 's/$/\r/' "$S/large.kes"
run_kes "$(winpath "$S/large.kes")"
expect_eq "$(content "$S/out.txt")" "download 0
from the cache 0" "large download"
cmp -s "$NET/nginx/www/large/big.bin" "$S/w/big.bin" || fail "100 MB download differs"
cmp -s "$NET/nginx/www/large/big.bin" "$S/w/again.bin" || fail "copy from the cache differs"
copy="$WINEPREFIX/drive_c/Program Files/Harrowdale/Cache/$(/usr/bin/python3 -c 'import zlib; print("%08X" % zlib.crc32(b"KES.TEST/large/big.bin"))')"
cmp -s "$NET/nginx/www/large/big.bin" "$copy" || fail "cache copy differs"
rm -f "$copy"
finish_net

#!/usr/bin/env bash
# The HTTP client against nginx (static files with Last-Modified, WebDAV PUT
# and DELETE, Basic authentication) and tinyproxy (407 and the proxy form).
# Addresses carry no port, so the client reaches nginx through its proxy
# setting: nginx itself serves requests in the proxy form, and tinyproxy
# hands them on to nginx.
. "$(dirname "$0")/../harness/scenario-lib.sh"
. "$(dirname "$0")/../harness/net-servers.sh"
start_nginx || { fail "nginx"; finish_net; }
start_tinyproxy || { fail "tinyproxy"; finish_net; }
export KTEST_OUT=$(winpath "$S/out.txt")
export KT_W=$(winpath "$S/w")
export KT_NGINX=127.0.0.1:$NGINX_PORT
export KT_PROXY=127.0.0.1:$PROXY_PORT
mkdir -p "$S/w"
WWW=$NET/nginx/www
mkdir -p "$WWW/files" "$WWW/secure" "$WWW/dav" "$WWW/plaindav"
printf 'hello world\r\n' > "$WWW/files/hello.txt"
printf 'secret doc\r\n' > "$WWW/secure/doc.txt"
printf 'first version\r\n' > "$WWW/files/cached.txt"
touch -d '2024-03-05 10:20:30 UTC' "$WWW/files/cached.txt"
head -c 300000 /dev/urandom > "$S/w/blob.bin"


# The proxy setting every case starts with: nginx, or tinyproxy.
proxy_lines() {
  printf 'SET K=HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\n'
  printf 'REGKEYSET %%K%%,ProxyEnable,1,REG_DWORD\nREGKEYSET %%K%%,ProxyServer,%s,REG_SZ\nHTTP PROXY,ON\n' "$1"
  printf 'REGKEYSET %%K%%,ProxyEnable,0,REG_DWORD\nSET HTTPTIMEOUT=5000\n'
}

# ---- downloads, uploads and deletions on nginx
{ proxy_lines "$KT_NGINX"; cat <<'KES'
OUTPUT %KTEST_OUT%,proxy %HTTP%
HTTP GET,kes.test/files/hello.txt,%KT_W%\hello.txt
CALLSUB SHOW,get,%KT_W%\hello.txt
HTTP GET,http://kes.test/files/none.txt,%KT_W%\hello.txt
CALLSUB SHOW,missing,%KT_W%\hello.txt
HTTP GET,kes.test/secure/doc.txt,%KT_W%\doc.txt
APPEND %KTEST_OUT%,no account %ERROR%
IF NOT EXIST %KT_W%\doc.txt APPEND %KTEST_OUT%,no file
SET HTTPACCOUNT=kes
SET HTTPPASSWORD=secret
HTTP GET,kes.test/secure/doc.txt,%KT_W%\doc.txt
CALLSUB SHOW,account,%KT_W%\doc.txt
HTTP PUT,%KT_W%\blob.bin,kes.test/dav/new/sub/blob.bin
APPEND %KTEST_OUT%,put %ERROR%
HTTP PUT,%KT_W%\hello.txt,kes.test/dav/gone.txt
APPEND %KTEST_OUT%,put %ERROR%
HTTP PUT,%KT_W%\hello.txt,kes.test/plaindav/x.txt
APPEND %KTEST_OUT%,folder refused %ERROR%
HTTP PUT,%KT_W%\hello.txt,kes.test/secure/up.txt
APPEND %KTEST_OUT%,put with account %ERROR%
HTTP DELETE,kes.test/dav/gone.txt
APPEND %KTEST_OUT%,delete %ERROR%
HTTP DELETE,kes.test/dav/gone.txt
APPEND %KTEST_OUT%,delete again %ERROR%
SET HTTPPASSWORD=wrong
HTTP PUT,%KT_W%\hello.txt,kes.test/secure/up2.txt
APPEND %KTEST_OUT%,put wrong password %ERROR%
HTTP DELETE,kes.test/secure/up.txt
APPEND %KTEST_OUT%,delete wrong password %ERROR%
HTTP GAUGE,ON,ASKDIALOG Transfer,file,OFF
HTTP GET,kes.test/dav/new/sub/blob.bin,%KT_W%\blob2.bin
APPEND %KTEST_OUT%,with gauge %ERROR%
HTTP GAUGE,OFF
HTTP UPLOAD,x
APPEND %KTEST_OUT%,unknown %ERROR%
EXIT
SUB SHOW
SET E=%ERROR%
LINE %ARG2%,1
APPEND %KTEST_OUT%,%ARG1% %E% %LINE%
ENDSUB
KES
} | kes_case nginx "proxy 127.0.0.1:$NGINX_PORT:
get 0 hello world
missing 404 hello world
no account 401
no file
account 0 secret doc
put 0
put 0
folder refused 409
put with account 0
delete 0
delete again 404
put wrong password 401
delete wrong password 401
with gauge 0
unknown -999"
cmp -s "$S/w/blob.bin" "$WWW/dav/new/sub/blob.bin" || fail "uploaded file differs"
cmp -s "$S/w/blob.bin" "$S/w/blob2.bin" || fail "downloaded file differs"
cmp -s "$S/w/hello.txt" "$WWW/secure/up.txt" || fail "upload with an account"
[ -e "$WWW/dav/gone.txt" ] && fail "deleted file still there"
[ -e "$WWW/secure/up2.txt" ] && fail "upload with a wrong password stored"

# ---- the cache: a copy whose Last-Modified is unchanged is not fetched again
{ proxy_lines "$KT_NGINX"; cat <<'KES'
HTTP GET,kes.test/files/cached.txt,%KT_W%\c1.txt
LINE %KT_W%\c1.txt,1
OUTPUT %KTEST_OUT%,first %LINE%
KES
} | kes_case cache1 "first first version"
# new content, the same date: the cache copy is still taken for current
printf 'second version\r\n' > "$WWW/files/cached.txt"
touch -d '2024-03-05 10:20:30 UTC' "$WWW/files/cached.txt"
{ proxy_lines "$KT_NGINX"; cat <<'KES'
HTTP GET,kes.test/files/cached.txt,%KT_W%\c2.txt
LINE %KT_W%\c2.txt,1
OUTPUT %KTEST_OUT%,same date %ERROR% %LINE%
HTTP CACHE,OFF
HTTP GET,kes.test/files/cached.txt,%KT_W%\c3.txt
LINE %KT_W%\c3.txt,1
APPEND %KTEST_OUT%,cache off %ERROR% %LINE%
KES
} | kes_case cache2 "same date 0 first version
cache off 0 second version"
touch -d '2024-03-06 10:20:30 UTC' "$WWW/files/cached.txt"
{ proxy_lines "$KT_NGINX"; cat <<'KES'
HTTP GET,kes.test/files/cached.txt,%KT_W%\c4.txt
LINE %KT_W%\c4.txt,1
OUTPUT %KTEST_OUT%,new date %ERROR% %LINE%
KES
} | kes_case cache3 "new date 0 second version"
# the cache copy carries the server's date
copy="$WINEPREFIX/drive_c/Program Files/Harrowdale/Cache/$(/usr/bin/python3 -c 'import zlib; print("%08X" % zlib.crc32(b"KES.TEST/files/cached.txt"))')"
expect_eq "$(TZ=UTC date -r "$copy" '+%F %T' 2>/dev/null)" "2024-03-06 10:20:30" "date of the cache copy"

# ---- tinyproxy: 407, then the Proxy-Authorization line (an empty account
# is refused with 401). tinyproxy passes nginx's "100 Continue" on only after
# the content, so an upload through it waits for the time-out and fails.
printf 'to delete\r\n' > "$WWW/dav/viaproxy.txt"
{ proxy_lines "http=$KT_PROXY;ftp=x:21"; cat <<'KES'
OUTPUT %KTEST_OUT%,proxy %HTTP%
HTTP GET,kes.test/files/hello.txt,%KT_W%\p1.txt
APPEND %KTEST_OUT%,no account %ERROR%
SET HTTPACCOUNT=proxyuser
SET HTTPPASSWORD=proxypass
HTTP GET,kes.test/files/hello.txt,%KT_W%\p1.txt
LINE %KT_W%\p1.txt,1
APPEND %KTEST_OUT%,account %ERROR% %LINE%
HTTP DELETE,kes.test/dav/viaproxy.txt
APPEND %KTEST_OUT%,delete %ERROR%
SET HTTPTIMEOUT=1500
HTTP PUT,%KT_W%\blob.bin,kes.test/dav/viaproxy/blob.bin
APPEND %KTEST_OUT%,put %ERROR%
KES
} | kes_case tinyproxy "proxy 127.0.0.1:$PROXY_PORT:
no account 401
account 0 hello world
delete 0
put 400"
[ -e "$WWW/dav/viaproxy.txt" ] && fail "file deleted through the proxy still there"
finish_net

# Network servers for the tests, sourced by a scenario after scenario-lib.sh.
# Each server listens on loopback only, on a port chosen free at run time,
# with its files under $S/net; stop_net_servers (called by finish_net) stops
# every one of them.
#   start_nginx           NGINX_PORT; files served from $NET/nginx/www
#   start_tinyproxy       PROXY_PORT (needs nginx: it is the upstream)
#   kes_case              runs one script given on stdin, checks its output
#   start_http_server     HTTPD_PORT on 127.0.0.1, and port 80 of 127.0.0.1,
#                         HTTPD_DIRECT, for addresses without a port; captures
#                         in $NET/httpd/capture
#   start_ftp [MASQ]      pyftpdlib on port 21 of 127.0.0.1, FTP_ADDR; account
#                         kes / secret, files in $NET/ftp/root, control bytes
#                         in $NET/ftp/capture/NNN.ctl; MASQ: the address its
#                         passive replies announce
#   start_ftp_fault       the faulty FTP server (tests/net/ftp_fault_server.py)
#                         on FTP_FAULT_ADDR port 21, files in $NET/ftpfault
#   start_smtp            aiosmtpd on port 25 of SMTP_ADDR; AUTH LOGIN kes /
#                         secret; sessions and messages in $NET/smtp/capture
# The FTP and mail commands name no port (21 and 25 always), nor does an
# HTTP address without one (80): those servers listen on 127.0.0.1 at that
# port, and a run holds the port's lock file for as long as its scenario
# lasts, so that test runs on this machine take the port in turn.
# Address forms for the client: through a proxy setting "127.0.0.1:PORT" every
# address "host/path" reaches that server.
NET=$S/net
mkdir -p "$NET"
NET_PIDS=()
trap 'stop_net_servers; rm -rf "$S"' EXIT
TESTS_NET=$(cd "$(dirname "${BASH_SOURCE[0]}")/../net" && pwd)

# A free port below 32768: the client takes a proxy port only up to 32,767.
free_port() {
  /usr/bin/python3 - <<'PY'
import random, socket
for _ in range(200):
    p = random.randint(10000, 32767)
    s = socket.socket()
    try:
        s.bind(("127.0.0.1", p))
    except OSError:
        continue
    finally:
        s.close()
    print(p)
    break
PY
}

# wait_port PORT [HOST]: until something listens there (5 s at most)
wait_port() {
  local i
  for i in $(seq 1 100); do
    if /usr/bin/python3 -c "import socket,sys; socket.create_connection(('${2:-127.0.0.1}', $1), 0.2)" 2>/dev/null; then
      return 0
    fi
    sleep 0.05
  done
  echo "server on port $1 did not start"; return 1
}

fill_template() {  # template, output, then NAME=value pairs
  local tpl=$1 out=$2; shift 2
  local sed_args=() kv
  for kv in "$@"; do sed_args+=(-e "s|@${kv%%=*}@|${kv#*=}|g"); done
  sed "${sed_args[@]}" "$tpl" > "$out"
}

start_nginx() {
  local d=$NET/nginx
  mkdir -p "$d/www"
  # the accounts of /secure/: kes / secret
  printf 'kes:%s\n' "$(openssl passwd -apr1 secret 2>/dev/null || /usr/bin/python3 -c 'import crypt; print(crypt.crypt("secret"))')" > "$d/htpasswd"
  local try
  for try in 1 2 3; do
    NGINX_PORT=$(free_port)
    fill_template "$TESTS_NET/nginx.conf" "$d/nginx.conf" "DIR=$d" "PORT=$NGINX_PORT"
    nginx -c "$d/nginx.conf" -p "$d" >>"$d/stderr.log" 2>&1 &
    NET_PIDS+=($!)
    wait_port "$NGINX_PORT" && return 0
  done
  cat "$d/stderr.log" "$d/error.log" 2>/dev/null; return 1
}

start_tinyproxy() {
  local d=$NET/tinyproxy try
  mkdir -p "$d"
  for try in 1 2 3; do
    PROXY_PORT=$(free_port)
    fill_template "$TESTS_NET/tinyproxy.conf" "$d/tinyproxy.conf" "DIR=$d" "PORT=$PROXY_PORT" "UPSTREAM=$NGINX_PORT"
    tinyproxy -d -c "$d/tinyproxy.conf" >>"$d/stderr.log" 2>&1 &
    NET_PIDS+=($!)
    wait_port "$PROXY_PORT" && return 0
  done
  cat "$d/stderr.log" 2>/dev/null; return 1
}

# hold_port PORT: takes the lock of a fixed port of 127.0.0.1 until the
# scenario ends; another run holding it is waited for (10 minutes at most).
# The lock lives in a small process of its own, which no server or Wine
# process inherits and which lets go when the scenario ends for any reason.
HOLD_PIDS=()
hold_port() {
  local ready=$NET/held.$1 i
  rm -f "$ready"
  /usr/bin/python3 -c '
import fcntl, os, sys, time
parent = os.getppid()
lock = open(sys.argv[1], "w")
fcntl.flock(lock, fcntl.LOCK_EX)
open(sys.argv[2], "w").close()
while os.getppid() == parent:
    time.sleep(0.5)
' "/tmp/kestrova-test-port-$1.lock" "$ready" </dev/null >/dev/null 2>&1 &
  HOLD_PIDS+=($!)
  for i in $(seq 1 6000); do
    [ -f "$ready" ] && return 0
    sleep 0.1
  done
  echo "port $1 stayed taken"; return 1
}

start_http_server() {
  local d=$NET/httpd try
  mkdir -p "$d"
  hold_port 80 || return 1
  HTTPD_DIRECT=127.0.0.1
  for try in 1 2 3 4 5; do
    [ "$try" = 1 ] || sleep 1
    rm -f "$d"/port.*
    /usr/bin/python3 "$TESTS_NET/http_server.py" "$d" "127.0.0.1:$(free_port)" "$HTTPD_DIRECT:80" >>"$d/stderr.log" 2>&1 &
    NET_PIDS+=($!)
    local i
    for i in $(seq 1 100); do [ -f "$d/port.1" ] && break; kill -0 "${NET_PIDS[-1]}" 2>/dev/null || break; sleep 0.05; done
    if [ -f "$d/port.1" ]; then
      HTTPD_PORT=$(cat "$d/port.0")
      return 0
    fi
  done
  cat "$d/stderr.log"; return 1
}

# loopback_server PORT DIR SCRIPT ARGS...: starts a test server script on
# 127.0.0.1 (passed as its second argument; the script listens on PORT) and
# waits for DIR/ready; sets LOOPBACK_ADDR. A port in TIME_WAIT or not yet
# released by an earlier server is tried again.
loopback_server() {
  local port=$1 d=$2 script=$3 try i
  shift 3
  mkdir -p "$d"
  hold_port "$port" || return 1
  LOOPBACK_ADDR=127.0.0.1
  for try in 1 2 3 4 5; do
    [ "$try" = 1 ] || sleep 1
    rm -f "$d/ready"
    /usr/bin/python3 "$TESTS_NET/$script" "$d" "$LOOPBACK_ADDR" "$@" >>"$d/stderr.log" 2>&1 &
    NET_PIDS+=($!)
    for i in $(seq 1 100); do [ -f "$d/ready" ] && return 0; kill -0 "${NET_PIDS[-1]}" 2>/dev/null || break; sleep 0.05; done
  done
  cat "$d/stderr.log"; return 1
}

start_ftp() { loopback_server 21 "$NET/ftp" ftp_server.py "$@" && FTP_ADDR=$LOOPBACK_ADDR; }
start_ftp_fault() { loopback_server 21 "$NET/ftpfault" ftp_fault_server.py && FTP_FAULT_ADDR=$LOOPBACK_ADDR; }
start_smtp() { loopback_server 25 "$NET/smtp" smtp_server.py && SMTP_ADDR=$LOOPBACK_ADDR; }

# kes_case NAME EXPECTED: runs the script given on stdin (its lines get CR
# LF) and compares what it wrote to $KTEST_OUT (which must be $S/out.txt).
kes_case() {
  sed 's/$/\r/' > "$S/$1.kes"
  rm -f "$S/out.txt"
  run_kes "$(winpath "$S/$1.kes")"
  expect_eq "$(content "$S/out.txt")" "$2" "$1"
}

stop_net_servers() {
  local p
  for p in "${NET_PIDS[@]}"; do kill "$p" 2>/dev/null; done
  for p in "${NET_PIDS[@]}"; do wait "$p" 2>/dev/null; done
  NET_PIDS=()
  # the fixed ports are let go once their servers have ended
  for p in "${HOLD_PIDS[@]}"; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
  HOLD_PIDS=()
}

# The capture files of the test server, oldest first.
captures() { ls "$NET/httpd/capture"/*.req 2>/dev/null | sort; }
clear_captures() { rm -f "$NET/httpd/capture"/*.req; }

finish_net() {
  stop_net_servers
  finish
}

#!/usr/bin/python3
"""The HTTP tests' own server: it records every request byte for byte and
answers by the path of the request, including the malformed answers no
real server gives.

    http_server.py DIR ADDRESS:PORT [ADDRESS:PORT ...]

Writes DIR/port.N (the port bound for the Nth address; 0 asks for a free
one) once it listens, and DIR/capture/NNN.req for each request received
(the request line, the headers and every byte that followed them, up to a
short pause). Files under DIR/www are served by GET; a path's first
component selects a behaviour (see answer()).
"""
import os
import socket
import socketserver
import sys
import threading
import time

DIR = sys.argv[1]
WWW = os.path.join(DIR, "www")
CAPTURE = os.path.join(DIR, "capture")
STAMP = "Sun, 06 Nov 1994 08:49:37 GMT"
counter = 0
lock = threading.Lock()


def read_request(sock):
    """The whole request: headers, the announced body, and anything sent
    after it within a short pause (a client's trailing line breaks)."""
    data = b""
    while b"\r\n\r\n" not in data:
        chunk = sock.recv(65536)
        if not chunk:
            return data, {}
        data += chunk
    head, _, rest = data.partition(b"\r\n\r\n")
    headers = {}
    for line in head.split(b"\r\n")[1:]:
        name, _, value = line.partition(b":")
        headers[name.strip().lower().decode("latin-1")] = value.strip().decode("latin-1")
    length = int(headers.get("content-length", "0") or 0)
    if length and headers.get("expect", "").lower() == "100-continue" and b"/nocontinue/" not in head:
        first = head.split(b"\r\n")[0]
        if b"/continue403/" in first:
            sock.sendall(b"HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n")
            headers["answered"] = "1"
            return data, headers
        sock.sendall(b"HTTP/1.1 100 Continue\r\n\r\n")
    while len(rest) < length:
        chunk = sock.recv(65536)
        if not chunk:
            break
        rest += chunk
    if not length:
        return head + b"\r\n\r\n" + rest, headers
    sock.settimeout(0.3)
    try:
        while True:
            chunk = sock.recv(65536)
            if not chunk:
                break
            rest += chunk
    except socket.timeout:
        pass
    sock.settimeout(None)
    return head + b"\r\n\r\n" + rest, headers


def record(raw):
    global counter
    with lock:
        counter += 1
        n = counter
    path = os.path.join(CAPTURE, "%03d.req" % n)
    with open(path + ".part", "wb") as f:
        f.write(raw)
    os.rename(path + ".part", path)


def response(status, body=b"", extra=""):
    head = "HTTP/1.1 %s\r\nContent-Length: %d\r\n%s\r\n" % (status, len(body), extra)
    return head.encode("latin-1") + body


def answer(sock, raw, headers):
    line = raw.split(b"\r\n", 1)[0].decode("latin-1")
    method, target = (line.split(" ") + ["", ""])[:2]
    if target.startswith("http://"):
        target = "/" + target[7:].partition("/")[2]
    parts = target.split("/")
    kind = parts[1] if len(parts) > 1 else ""
    send = sock.sendall
    if method == "PUT":
        if kind == "putrefused" and not target.endswith("/"):
            send(response("507 Insufficient Storage"))
        elif kind == "putsilent" and not target.endswith("/"):
            time.sleep(3)
        else:
            send(response("201 Created"))
        return
    if method == "DELETE":
        send(response("204 No Content" if kind == "del204" else "404 Not Found" if kind == "delmissing" else "200 OK"))
        return
    if kind == "auth" and "authorization" not in headers:
        send(response("401 Unauthorized", b"", 'WWW-Authenticate: Basic realm="k"\r\n'))
    elif kind == "auth":
        send(response("200 OK", headers["authorization"].encode("latin-1")))
    elif kind == "proxyauth" and "proxy-authorization" not in headers:
        send(response("407 Proxy Authentication Required"))
    elif kind == "proxyauth":
        send(response("200 OK", headers["proxy-authorization"].encode("latin-1")))
    elif kind == "nostatus":
        send(b"this is no HTTP answer\r\n\r\nbody")
    elif kind == "hugeheaders":
        send(b"HTTP/1.1 200 OK\r\n")
        filler = b"X-Filler: " + b"a" * 1000 + b"\r\n"
        try:
            for _ in range(10 * 1024):
                send(filler)
            send(b"Content-Length: 2\r\n\r\nok")
        except OSError:
            pass  # the client gave up, as it should
    elif kind == "short":
        send(b"HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n" + b"x" * 100)
    elif kind == "midclose":
        send(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n10\r\n0123456789abcdef\r\n20\r\nonly part of it")
    elif kind == "stall":
        send(b"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n" + b"s" * 10)
        time.sleep(3)
    elif kind == "silent":
        time.sleep(3)
    elif kind == "chunked":
        send(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
             b"7;note=1\r\nchunked\r\n1\r\n \r\nA\r\nbody, done\r\n0\r\nX-Trailer: t\r\n\r\n")
    elif kind == "nolength":
        send(b"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\nno length, ends at the close")
    elif kind == "redirect":
        send(response("301 Moved Permanently", b"moved", "Location: http://elsewhere/\r\n"))
    elif kind == "body403":
        send(response("200 OK", b"line one\nHTTP/1.1 403 is only quoted here\n"))
    else:
        path = os.path.join(WWW, *[p for p in parts[1:] if p not in ("", "..")])
        if os.path.isfile(path):
            with open(path, "rb") as f:
                body = f.read()
            send(response("200 OK", body, "Last-Modified: %s\r\n" % STAMP))
        else:
            send(response("404 Not Found"))


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        try:
            raw, headers = read_request(self.request)
            if not raw:
                return
            record(raw)
            if "answered" not in headers:
                answer(self.request, raw, headers)
        except OSError:
            pass


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    os.makedirs(CAPTURE, exist_ok=True)
    os.makedirs(WWW, exist_ok=True)
    servers = []
    for i, address in enumerate(sys.argv[2:]):
        host, _, port = address.rpartition(":")
        s = Server((host, int(port)), Handler)
        servers.append(s)
        threading.Thread(target=s.serve_forever, daemon=True).start()
        with open(os.path.join(DIR, "port.%d" % i), "w") as f:
            f.write(str(s.server_address[1]))
    threading.Event().wait()


if __name__ == "__main__":
    main()

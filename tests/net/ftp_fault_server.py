#!/usr/bin/python3
"""The FTP tests' faulty server: the answers no well-behaved server gives.
It listens on ADDRESS port 21; the user name of each session chooses the
fault (any password is taken):

    longline  the reply to USER is one line longer than a client's buffer
    endless   the reply to USER goes on with "331-" lines and never ends
    silent    USER gets no reply at all
    noparen   PASV is answered without the parentheses around the numbers
    nodata    PASV announces a port where nothing listens
    missing   RETR, STOR and LIST are refused with 550
    cut       RETR and LIST send part of the data, then 426; STOR takes a
              part of the upload, resets the data connection, then 426
    noreply   RETR sends the whole file but never confirms it (no 226)

Any other user gets ordinary answers: RETR sends DIR/file.bin, STOR stores
into DIR/stored.bin, LIST sends DIR/listing.txt. The greeting is the content
of DIR/greeting when that file exists, else "220 faulty server". Every byte a
client sends on the control connection is appended to DIR/control.log.

    ftp_fault_server.py DIR ADDRESS
"""
import os
import socket
import socketserver
import struct
import sys
import threading
import time

DIR, ADDRESS = sys.argv[1], sys.argv[2]
log_lock = threading.Lock()


def read_file(name, default=b""):
    try:
        with open(os.path.join(DIR, name), "rb") as f:
            return f.read()
    except OSError:
        return default


class Session(socketserver.BaseRequestHandler):
    def setup(self):
        self.buf = b""
        self.user = ""
        self.data_listener = None

    def line(self):
        while b"\r\n" not in self.buf:
            chunk = self.request.recv(4096)
            if not chunk:
                raise EOFError
            with log_lock, open(os.path.join(DIR, "control.log"), "ab") as f:
                f.write(chunk)
            self.buf += chunk
        line, self.buf = self.buf.split(b"\r\n", 1)
        return line.decode("latin-1")

    def say(self, text):
        self.request.sendall(text.encode("latin-1") + b"\r\n")

    def data_connection(self):
        conn, _ = self.data_listener.accept()
        self.data_listener.close()
        self.data_listener = None
        return conn

    def handle(self):
        self.request.sendall(read_file("greeting", b"220 faulty server\r\n"))
        try:
            while True:
                self.command(self.line())
        except (EOFError, ConnectionError, OSError):
            pass

    def command(self, line):
        word, _, arg = line.partition(" ")
        word = word.upper()
        user = self.user
        if word == "USER":
            self.user = user = arg
            if user == "longline":
                self.say("331 " + "x" * 20000)
            elif user == "endless":
                while True:
                    self.say("331-and more")
                    time.sleep(0.05)
            elif user == "silent":
                time.sleep(3600)
            else:
                self.say("331 Password required")
        elif word == "PASS":
            self.say("230 Logged in")
        elif word == "PASV":
            self.data_listener = socket.socket()
            self.data_listener.bind((ADDRESS, 0))
            self.data_listener.listen(1)
            port = self.data_listener.getsockname()[1]
            if user == "nodata":
                probe = socket.socket()
                probe.bind((ADDRESS, 0))
                port = probe.getsockname()[1]
                probe.close()
            numbers = "10,0,0,1,%d,%d" % (port // 256, port % 256)
            self.say("227 Entering Passive Mode " + (numbers if user == "noparen" else "(" + numbers + ")"))
        elif word == "CWD":
            self.say("250 OK" if arg.strip() == "good" else "550 No such folder")
        elif word == "TYPE":
            self.say("200 Type set")
        elif word in ("RETR", "LIST", "STOR"):
            if user == "missing":
                self.say("550 No such file")
                return
            conn = self.data_connection()
            self.say("150 Opening data connection")
            if word == "STOR":
                self.store(conn, user)
            else:
                self.send(conn, user, read_file("file.bin" if word == "RETR" else "listing.txt"))
        elif word == "QUIT":
            self.say("221 Bye")
            raise EOFError
        else:
            self.say("502 Not implemented")

    def send(self, conn, user, data):
        if user == "cut":
            conn.sendall(data[: len(data) // 2])
            conn.close()
            self.say("426 Connection closed; transfer aborted")
            return
        conn.sendall(data)
        conn.close()
        if user != "noreply":
            self.say("226 Transfer complete")

    def store(self, conn, user):
        got = b""
        while True:
            if user == "cut" and len(got) >= 65536:
                conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                conn.close()
                self.say("426 Connection closed; transfer aborted")
                return
            chunk = conn.recv(65536)
            if not chunk:
                break
            got += chunk
        conn.close()
        with open(os.path.join(DIR, "stored.bin"), "wb") as f:
            f.write(got)
        self.say("226 Transfer complete")


class Server(socketserver.ThreadingTCPServer):
    allow_reuse_address = True
    daemon_threads = True


server = Server((ADDRESS, 21), Session)
with open(os.path.join(DIR, "ready"), "w") as f:
    f.write("ready\n")
server.serve_forever()

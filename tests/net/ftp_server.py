#!/usr/bin/python3
"""The FTP tests' server: pyftpdlib on one loopback address, port 21, with
the account kes / secret (home DIR/root, every permission), a greeting of
several lines, and a welcome after the password whose lines are not all
numbered. Every byte a client sends on a control
connection is recorded in DIR/capture/NNN.ctl, one file per session in the
order the sessions began.

    ftp_server.py DIR ADDRESS [MASQUERADE]

Writes DIR/ready once it listens. With MASQUERADE the passive replies
announce that address instead of the server's own: a client that connects
to the announced address fails, one that connects to the control host works.
"""
import itertools
import os
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

DIR, ADDRESS = sys.argv[1], sys.argv[2]
ROOT = os.path.join(DIR, "root")
CAPTURE = os.path.join(DIR, "capture")
os.makedirs(ROOT, exist_ok=True)
os.makedirs(CAPTURE, exist_ok=True)
sessions = itertools.count(1)
lock = threading.Lock()


class CapturingHandler(FTPHandler):
    auth_failed_timeout = 0.1
    # more than 75 characters: pyftpdlib sends "220-" + banner, then "220 "
    banner = "Kestrova test server\r\n220-a greeting on several lines, as some servers send them"

    def on_connect(self):
        with lock:
            self.capture = os.path.join(CAPTURE, "%03d.ctl" % next(sessions))
        open(self.capture, "wb").close()

    def recv(self, buffer_size):
        data = super().recv(buffer_size)
        if data and getattr(self, "capture", None):
            with open(self.capture, "ab") as f:
                f.write(data)
        return data


authorizer = DummyAuthorizer()
# a welcome of several lines, one of them free text without a code
authorizer.add_user("kes", "secret", ROOT, perm="elradfmwMT",
                    msg_login="Welcome, kes.\r\n230-Second line of the welcome,\r\n  then free text, as some servers write it.")
CapturingHandler.authorizer = authorizer
if len(sys.argv) > 3:
    CapturingHandler.masquerade_address = sys.argv[3]
server = FTPServer((ADDRESS, 21), CapturingHandler)
with open(os.path.join(DIR, "ready"), "w") as f:
    f.write("ready\n")
server.serve_forever(handle_exit=False)

#!/usr/bin/python3
"""The mail tests' server: aiosmtpd on one loopback address, port 25. For
each session it records every byte the client sent (DIR/capture/NNN.smtp)
and, when a message is taken, the message as stored (DIR/capture/NNN.eml).
AUTH LOGIN is offered after HELO too, and takes the account kes / secret.
The file DIR/mode, read for every session, changes the answers:

    noauth   AUTH after HELO is refused (500), as by a server that offers it
             only after EHLO
    dot      the reply to DATA does not mention CR LF ("... end with .")
    multi    the greeting has two lines
    bye      the greeting is "554 No service"

A recipient that begins with "refused" is answered 550.

    smtp_server.py DIR ADDRESS
"""
import asyncio
import itertools
import os
import sys

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword

DIR, ADDRESS = sys.argv[1], sys.argv[2]
CAPTURE = os.path.join(DIR, "capture")
os.makedirs(CAPTURE, exist_ok=True)
sessions = itertools.count(1)


def mode():
    try:
        with open(os.path.join(DIR, "mode")) as f:
            return f.read().strip()
    except OSError:
        return ""


class Handler:
    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.startswith("refused"):
            return "550 No such user here"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        with open(server.capture[:-5] + ".eml", "wb") as f:
            f.write(envelope.original_content)
        return "250 Message accepted for delivery"


def authenticator(server, session, envelope, mechanism, auth_data):
    ok = isinstance(auth_data, LoginPassword) and auth_data.login == b"kes" and auth_data.password == b"secret"
    return AuthResult(success=ok, handled=False)


class CapturingSMTP(SMTP):
    def connection_made(self, transport):
        self.mode = mode()
        self.capture = os.path.join(CAPTURE, "%03d.smtp" % next(sessions))
        open(self.capture, "wb").close()
        super().connection_made(transport)

    def data_received(self, data):
        with open(self.capture, "ab") as f:
            f.write(data)
        super().data_received(data)

    async def smtp_HELO(self, hostname):
        await super().smtp_HELO(hostname)
        if self.mode != "noauth":
            self.session.extended_smtp = True

    async def push(self, status):
        if isinstance(status, bytes):  # the challenges of AUTH
            return await super().push(status)
        if status.startswith("220 "):
            if self.mode == "multi":
                await super().push("220-a greeting on two lines")
            elif self.mode == "bye":
                status = "554 No service"
        if status.startswith("354") and self.mode == "dot":
            status = "354 Start mail input; end with ."
        await super().push(status)


async def main():
    loop = asyncio.get_running_loop()
    server = await loop.create_server(
        lambda: CapturingSMTP(Handler(), auth_require_tls=False, authenticator=authenticator, hostname="mail.test"),
        ADDRESS, 25)
    with open(os.path.join(DIR, "ready"), "w") as f:
        f.write("ready\n")
    async with server:
        await server.serve_forever()


asyncio.run(main())

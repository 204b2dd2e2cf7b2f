"""SMTP sink for the integration tests: accepts every message and stores it as a file in a
Maildir named after the envelope sender, so each test reads only its own replies.

Recipients at refused.test are refused for good (550), those at deferred.test for now (451).
While a file named after the envelope sender with ".full" appended stands in the root, every
recipient of that sender gets 452 (no room), so a test can make the server full for itself.
A file named after the envelope sender with ".refuse" appended holds the refusals a test wants
of the server, one a line: "MAIL" or "RCPT", the address it applies to or "*" for any, and the
answer as the server gives it, such as "RCPT * 554 5.7.1 Relay access denied".

    smtp_sink.py --root DIR [--listen ADDRESS] [--starttls PORT] [--tls PORT] [--plain PORT]
                 [--cert FILE --key FILE] [--introspect URL] [--record DIR]

--starttls offers STARTTLS, --tls speaks TLS from the start (both with the certificate),
--plain offers no TLS at all. Any PLAIN or LOGIN sign-on is accepted. With --introspect, an
XOAUTH2 or OAUTHBEARER sign-on is accepted when the token introspection endpoint finds its
token valid for its user, and each one is noted in auth.log of the root: mechanism, user,
token, "accepted" or "refused". With --record, every byte a client sends is kept in that
folder, one file per connection, named N.open while it lasts and N.in once it has ended.
"""
import argparse
import asyncio
import base64
import binascii
import itertools
import json
import os
import ssl
import time
import urllib.parse
import urllib.request

from aiosmtpd.smtp import SMTP, AuthResult

sequence = 0
connections = itertools.count(1)


def bearer_of(mechanism, blob):
    """The user and token of an XOAUTH2 or OAUTHBEARER initial response, or None."""
    text = blob.decode("utf-8", "replace")
    fields = text.split("\x01")
    user = None
    if mechanism == "XOAUTH2":
        for field in fields:
            if field.startswith("user="):
                user = field[len("user="):]
    else:
        header = fields[0].split(",")
        for part in header[1:]:
            if part.startswith("a="):
                user = part[len("a="):]
    for field in fields:
        if field.startswith("auth=Bearer "):
            return user, field[len("auth=Bearer "):]
    return None


def sender_name(address):
    """The name of the files of an envelope sender in the root."""
    return (address or "unknown").lower().replace("/", "_")


class Sink:
    def __init__(self, root, introspect):
        self.root = root
        self.introspect = introspect

    def refusal(self, sender, command, address):
        """The answer the sender's ".refuse" file sets for the command and address, or None."""
        try:
            with open(os.path.join(self.root, sender_name(sender) + ".refuse")) as rules:
                lines = rules.read().splitlines()
        except FileNotFoundError:
            return None
        for line in lines:
            fields = line.split(" ", 2)
            if len(fields) == 3 and fields[0] == command and fields[1] in ("*", address.lower()):
                return fields[2]
        return None

    async def handle_MAIL(self, server, session, envelope, address, mail_options):
        answer = self.refusal(address, "MAIL", address)
        if answer:
            return answer
        envelope.mail_from = address
        envelope.mail_options.extend(mail_options)
        return "250 OK"

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        domain = address.rpartition("@")[2].lower()
        if domain == "refused.test":
            return "550 5.1.1 No such user here"
        if domain == "deferred.test":
            return "451 4.3.0 Try again later"
        answer = self.refusal(envelope.mail_from, "RCPT", address)
        if answer:
            return answer
        if os.path.exists(os.path.join(self.root, sender_name(envelope.mail_from) + ".full")):
            return "452 4.3.1 Insufficient system storage"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        global sequence
        sequence += 1
        folder = os.path.join(self.root, sender_name(envelope.mail_from))
        for sub in ("tmp", "new", "cur"):
            os.makedirs(os.path.join(folder, sub), exist_ok=True)
        name = "%020d.%08d.sink" % (time.time_ns(), sequence)
        temporary = os.path.join(folder, "tmp", name)
        with open(temporary, "wb") as stored:
            stored.write(envelope.original_content)
        os.rename(temporary, os.path.join(folder, "new", name))
        return "250 2.0.0 Stored"

    def valid(self, user, token):
        form = urllib.parse.urlencode({"token": token}).encode()
        with urllib.request.urlopen(self.introspect, form, timeout=10) as answer:
            verdict = json.load(answer)
        return verdict.get("active") is True and verdict.get("username") == user

    async def bearer(self, server, mechanism, args):
        if not self.introspect:
            return AuthResult(success=False, handled=False)
        if len(args) > 1:
            try:
                blob = base64.b64decode(args[1], validate=True)
            except binascii.Error:
                blob = b""
        else:
            blob = await server.challenge_auth("")
        credentials = bearer_of(mechanism, blob) if isinstance(blob, bytes) else None
        if credentials is None:
            return AuthResult(success=False, handled=False)
        user, token = credentials
        accepted = await asyncio.get_running_loop().run_in_executor(None, self.valid, user, token)
        with open(os.path.join(self.root, "auth.log"), "a") as log:
            log.write("%s %s %s %s\n" % (mechanism, user, token, "accepted" if accepted else "refused"))
        return AuthResult(success=accepted, handled=False)

    async def auth_XOAUTH2(self, server, args):
        return await self.bearer(server, "XOAUTH2", args)

    async def auth_OAUTHBEARER(self, server, args):
        return await self.bearer(server, "OAUTHBEARER", args)


class RecordingSMTP(SMTP):
    """Keeps what the client sends, byte for byte, before the protocol reads it: in N.open while
    the connection lasts, renamed to N.in once it has ended."""

    def __init__(self, *args, record=None, **kwargs):
        super().__init__(*args, **kwargs)
        self.record = None
        if record:
            self.path = os.path.join(record, "%06d" % next(connections))
            self.record = open(self.path + ".open", "ab", buffering=0)

    def data_received(self, data):
        if self.record:
            self.record.write(data)
        super().data_received(data)

    def connection_lost(self, error):
        if self.record:
            self.record.close()
            os.rename(self.path + ".open", self.path + ".in")
        super().connection_lost(error)


def accept_any(server, session, envelope, mechanism, auth_data):
    return AuthResult(success=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--listen", default="127.0.0.1")
    parser.add_argument("--starttls", type=int)
    parser.add_argument("--tls", type=int)
    parser.add_argument("--plain", type=int)
    parser.add_argument("--cert")
    parser.add_argument("--key")
    parser.add_argument("--introspect")
    parser.add_argument("--record")
    options = parser.parse_args()
    context = None
    if options.cert:
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(options.cert, options.key)
    handler = Sink(options.root, options.introspect)
    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)

    def protocol(starttls):
        return lambda: RecordingSMTP(handler, hostname="sink.test", tls_context=context if starttls else None,
                                     authenticator=accept_any, auth_require_tls=False, loop=loop,
                                     record=options.record)

    listeners = [(options.starttls, protocol(True), None), (options.tls, protocol(False), context),
                 (options.plain, protocol(False), None)]
    servers = [loop.run_until_complete(loop.create_server(factory, host=options.listen, port=port, ssl=tls))
               for port, factory, tls in listeners if port]
    print("ready", flush=True)
    try:
        loop.run_forever()
    finally:
        for server in servers:
            server.close()


if __name__ == "__main__":
    main()

"""SMTP sink for the integration tests: accepts every message on 127.0.0.1 and stores it as a
file in a Maildir named after the envelope sender, so each test reads only its own replies.

Recipients at refused.test are refused for good (550), those at deferred.test for now (451).
While a file named after the envelope sender with ".full" appended stands in the root, every
recipient of that sender gets 452 (no room), so a test can make the server full for itself.
The first port offers STARTTLS, the second speaks TLS from the start, both with the given
certificate; any AUTH login is accepted.
"""
import asyncio
import os
import ssl
import sys
import time

from aiosmtpd.smtp import SMTP, AuthResult

sequence = 0


class Sink:
    def __init__(self, root):
        self.root = root

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        domain = address.rpartition("@")[2].lower()
        if domain == "refused.test":
            return "550 5.1.1 No such user here"
        if domain == "deferred.test":
            return "451 4.3.0 Try again later"
        sender = (envelope.mail_from or "unknown").lower().replace("/", "_")
        if os.path.exists(os.path.join(self.root, sender + ".full")):
            return "452 4.3.1 Insufficient system storage"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        global sequence
        sequence += 1
        sender = (envelope.mail_from or "unknown").lower().replace("/", "_")
        folder = os.path.join(self.root, sender)
        for sub in ("tmp", "new", "cur"):
            os.makedirs(os.path.join(folder, sub), exist_ok=True)
        name = "%020d.%08d.sink" % (time.time_ns(), sequence)
        temporary = os.path.join(folder, "tmp", name)
        with open(temporary, "wb") as stored:
            stored.write(envelope.original_content)
        os.rename(temporary, os.path.join(folder, "new", name))
        return "250 2.0.0 Stored"


def accept_any(server, session, envelope, mechanism, auth_data):
    return AuthResult(success=True)


def main():
    port, tls_port, root, cert, key = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3], sys.argv[4], sys.argv[5]
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(cert, key)
    handler = Sink(root)
    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)

    def starttls():
        return SMTP(handler, hostname="sink.test", tls_context=context, authenticator=accept_any,
                    auth_require_tls=False, loop=loop)

    def implicit_tls():
        return SMTP(handler, hostname="sink.test", authenticator=accept_any, auth_require_tls=False, loop=loop)

    servers = [
        loop.run_until_complete(loop.create_server(starttls, host="127.0.0.1", port=port)),
        loop.run_until_complete(loop.create_server(implicit_tls, host="127.0.0.1", port=tls_port, ssl=context)),
    ]
    print("ready", flush=True)
    try:
        loop.run_forever()
    finally:
        for server in servers:
            server.close()


if __name__ == "__main__":
    main()

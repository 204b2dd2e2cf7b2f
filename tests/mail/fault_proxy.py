"""A loopback proxy in front of a mail server that misbehaves on purpose, for the tests and the
benchmarks: it holds every chunk for a while each way (a distant server: chunks keep their
spacing, as on a long link), goes silent or trickles once the client has sent a given text (a
server that stops answering at SELECT, after DATA...), stalls or cuts the connection once the
client has sent a text (a link that hangs or breaks in the middle of a message), or greets with
a line of its own and hangs up (a server refusing service).

It listens on a free port of 127.0.0.1 and prints that port as its first line of output.
SIGUSR1 heals it: connections made afterwards pass through untouched, so a test can reach the
same server under the same address once the fault is over. SIGUSR2 cuts every connection open at
that moment, as a network that drops them would; later ones pass as before.

    fault_proxy.py TARGET_PORT [--target-host ADDRESS] [--delay-ms N] [--silent-after TEXT]
                   [--trickle BYTES_PER_S] [--trickle-after TEXT] [--stall-after TEXT]
                   [--cut-after TEXT] [--greet LINE]

The target is on 127.0.0.1 unless --target-host names another address (a test host). A chunk of
the client that completes the text of --stall-after or --cut-after is not passed on: after it
nothing more passes either way (the connections stay open until the client closes its own), or
both connections are closed at once.
"""
import argparse
import asyncio
import signal
import sys

healed = False
# The writers of both ends of every connection passing through, for SIGUSR2.
open_connections = set()


class Fault:
    def __init__(self, options):
        self.options = options
        self.seen = b""
        self.client_closed = asyncio.Event()
        self.stalled = False
        self.writers = []

    def client_sent(self, data):
        # Only the tail that could complete a trigger text is kept.
        self.seen = (self.seen + data)[-4096:]

    def triggered(self, text):
        return text is not None and text.encode() in self.seen

    def cut(self):
        for writer in self.writers:
            writer.transport.abort()


async def read_side(reader, queue, fault, to_client):
    """Reads chunks as they come and queues each with the time it is due at the other end."""
    options = fault.options
    loop = asyncio.get_running_loop()
    try:
        while True:
            data = await reader.read(65536)
            if not data:
                break
            if not to_client:
                fault.client_sent(data)
                if fault.triggered(options.cut_after):
                    fault.cut()
                    break
                if fault.triggered(options.stall_after):
                    fault.stalled = True
            if fault.stalled:
                continue
            await queue.put((loop.time() + options.delay_ms / 1000, data))
    except (ConnectionError, asyncio.CancelledError):
        pass
    finally:
        await queue.put((None, None))
        if not to_client:
            fault.client_closed.set()


async def write_side(queue, writer, fault, to_client):
    options = fault.options
    loop = asyncio.get_running_loop()
    try:
        while True:
            due, data = await queue.get()
            if data is None:
                # A silent or stalled server does not hang up either: the client waits for its limits.
                if to_client and (fault.triggered(options.silent_after) or fault.stalled):
                    await fault.client_closed.wait()
                break
            await asyncio.sleep(max(0, due - loop.time()))
            if fault.stalled or (to_client and fault.triggered(options.silent_after)):
                continue
            trickling = options.trickle and (options.trickle_after is None or fault.triggered(options.trickle_after))
            if to_client and trickling:
                for i in range(len(data)):
                    writer.write(data[i:i + 1])
                    await writer.drain()
                    await asyncio.sleep(1 / options.trickle)
                continue
            writer.write(data)
            await writer.drain()
    except (ConnectionError, asyncio.CancelledError):
        pass
    finally:
        try:
            writer.close()
        except Exception:
            pass


async def pump(reader, writer, fault, to_client):
    queue = asyncio.Queue()
    await asyncio.gather(read_side(reader, queue, fault, to_client), write_side(queue, writer, fault, to_client))


async def handle(client_reader, client_writer, options):
    if healed:
        options = argparse.Namespace(delay_ms=0, silent_after=None, trickle=0, trickle_after=None, greet=None,
                                     stall_after=None, cut_after=None, target=options.target,
                                     target_host=options.target_host)
    if options.greet is not None:
        client_writer.write(options.greet.encode() + b"\r\n")
        await client_writer.drain()
        client_writer.close()
        return
    try:
        server_reader, server_writer = await asyncio.open_connection(options.target_host, options.target)
    except OSError:
        client_writer.close()
        return
    fault = Fault(options)
    fault.writers = [client_writer, server_writer]
    ends = (client_writer, server_writer)
    open_connections.add(ends)
    try:
        await asyncio.gather(pump(client_reader, server_writer, fault, False),
                             pump(server_reader, client_writer, fault, True))
    finally:
        open_connections.discard(ends)


async def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("target", type=int)
    parser.add_argument("--target-host", default="127.0.0.1")
    parser.add_argument("--delay-ms", type=float, default=0)
    parser.add_argument("--silent-after")
    parser.add_argument("--trickle", type=float, default=0)
    parser.add_argument("--trickle-after")
    parser.add_argument("--stall-after")
    parser.add_argument("--cut-after")
    parser.add_argument("--greet")
    options = parser.parse_args()

    def heal():
        global healed
        healed = True

    def cut():
        for ends in list(open_connections):
            for writer in ends:
                writer.transport.abort()

    asyncio.get_running_loop().add_signal_handler(signal.SIGUSR1, heal)
    asyncio.get_running_loop().add_signal_handler(signal.SIGUSR2, cut)
    server = await asyncio.start_server(lambda r, w: handle(r, w, options), "127.0.0.1", 0)
    print(server.sockets[0].getsockname()[1], flush=True)
    async with server:
        await server.serve_forever()


if __name__ == "__main__":
    try:
        asyncio.run(main())
    except KeyboardInterrupt:
        sys.exit(0)

"""A real SMTP server for the transport tests, and a reader of what it received.

    smtp_sink.py serve FOLDER   listens on a free port of 127.0.0.1, writes the port into FOLDER/port once
                                it accepts connections, and stores every message it receives as
                                FOLDER/msg-N.eml (the data as received) and FOLDER/msg-N.env (sender and
                                recipients, one a line). It ends once the file FOLDER/stop exists, or
                                after ten minutes, and then writes FOLDER/stopped. (A file, not a
                                signal or the end of standard input: under Wine the test can do neither
                                to a program of the host.)
    smtp_sink.py parse FILE     parses a stored message with the email package and prints, one a line:
                                "header NAME HEX" for every header, then for every leaf part
                                "part TYPE CHARSET FILENAME" and "payload HEX" of its decoded bytes.
                                HEX is the bytes in hexadecimal, so Windows-1251 text passes unchanged.
    smtp_sink.py check FILE     reads a stored message as a mail program does (the email package's default
                                policy) and prints, one a line: "defects" and the names of every defect
                                found; "from HEX ADDRESS" and "to HEX ADDRESS" for each mailbox of From and
                                To, HEX the display name in UTF-8; "subject HEX"; "date-local True" when the
                                Date is within ten minutes of now and carries the local offset of its
                                moment; "message-id ID"; "longest-header-line N" in bytes.
"""

import asyncio
import binascii
import email
import email.policy
import os
import sys
import time

from aiosmtpd.smtp import SMTP

# Seconds: how often the server looks for the stop file, and how long it runs at most (a test that died
# never asks it to stop).
POLL = 0.02
LIFETIME = 600


class Store:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.folder, "msg-%d" % self.count)
        with open(base + ".eml", "wb") as f:
            f.write(envelope.original_content)
        with open(base + ".env", "w") as f:
            f.write("\n".join([envelope.mail_from] + list(envelope.rcpt_tos)) + "\n")
        return "250 Message accepted for delivery"


async def serve(folder):
    store = Store(folder)
    loop = asyncio.get_running_loop()
    server = await loop.create_server(lambda: SMTP(store, hostname="sink", decode_data=False), "127.0.0.1", 0)
    port = server.sockets[0].getsockname()[1]
    # Written under another name and renamed, so the reader never sees half a number.
    with open(os.path.join(folder, "port.tmp"), "w") as f:
        f.write(str(port))
    os.replace(os.path.join(folder, "port.tmp"), os.path.join(folder, "port"))
    async with server:
        stop = os.path.join(folder, "stop")
        for _ in range(int(LIFETIME / POLL)):
            if os.path.exists(stop):
                break
            await asyncio.sleep(POLL)
    with open(os.path.join(folder, "stopped"), "w"):
        pass


def raw(text):
    return text.encode("ascii", "surrogateescape")


def decoded(part):
    encoding = (part.get("Content-Transfer-Encoding") or "").lower()
    if encoding == "x-uuencode":
        # Lines of uuencoded data without begin and end lines: each decoded on its own.
        data = part.get_payload(decode=False)
        return b"".join(binascii.a2b_uu(line) for line in raw(data).splitlines() if line)
    return part.get_payload(decode=True)


def parse(path):
    with open(path, "rb") as f:
        message = email.message_from_bytes(f.read())
    for name, value in message.raw_items():
        print("header", name, raw(value).hex())
    for part in message.walk():
        if part.is_multipart():
            continue
        print("part", part.get_content_type(), part.get_content_charset() or "-", part.get_filename() or "-")
        print("payload", decoded(part).hex())


def check(path):
    with open(path, "rb") as f:
        data = f.read()
    message = email.message_from_bytes(data, policy=email.policy.default)
    defects = [d for part in message.walk() for d in part.defects]
    defects += [d for _, value in message.items() for d in value.defects]
    print("defects", " ".join(sorted(type(d).__name__ for d in defects)))
    for name in ("From", "To"):
        for mailbox in message[name].addresses:
            print(name.lower(), mailbox.display_name.encode().hex(), mailbox.addr_spec)
    print("subject", str(message["Subject"]).encode().hex())
    date = message["Date"].datetime
    print("date-local", date.utcoffset() == date.astimezone().utcoffset() and abs(time.time() - date.timestamp()) < 600)
    print("message-id", message["Message-ID"])
    head = data.split(b"\r\n\r\n", 1)[0]
    print("longest-header-line", max(len(line) for line in head.split(b"\r\n")))


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "serve":
        asyncio.run(serve(sys.argv[2]))
    elif len(sys.argv) == 3 and sys.argv[1] == "parse":
        parse(sys.argv[2])
    elif len(sys.argv) == 3 and sys.argv[1] == "check":
        check(sys.argv[2])
    else:
        sys.exit(__doc__)

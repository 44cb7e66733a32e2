"""A real SMTP server for the transport tests, and a reader of what it received.

    smtp_sink.py serve FOLDER [SECURITY [LOGIN PASSWORD [MECHANISM]]]
                                listens on a free port of 127.0.0.1, writes the port into FOLDER/port once
                                it accepts connections, and stores every message it receives as
                                FOLDER/msg-N.eml (the data as received) and FOLDER/msg-N.env (sender and
                                recipients, one a line). It ends once the file FOLDER/stop exists, or
                                after ten minutes, and then writes FOLDER/stopped. (A file, not a
                                signal or the end of standard input: under Wine the test can do neither
                                to a program of the host.) SECURITY is "plain" (the default), "starttls"
                                (STARTTLS offered) or "tls" (TLS from the first byte), the last two with
                                FOLDER/cert.pem and FOLDER/key.pem. With LOGIN and PASSWORD, AUTH is
                                offered (only MECHANISM, when given) and only that login accepted. Every
                                byte that arrives unencrypted is appended to FOLDER/clear.log.
    smtp_sink.py script FOLDER SCRIPT
                                a scripted peer that can speak TLS, for every connection until FOLDER/stop
                                exists (port and stop as for serve; TLS with FOLDER/cert.pem and
                                FOLDER/key.pem). SCRIPT is a file of steps, one a line: "send TEXT" (TEXT
                                with \\r and \\n for CR and LF), "line" (read a line), "data" (read up to
                                the closing dot), "tls" (the server's side of a TLS handshake), "pause MS",
                                "close", "reset" (hang up hard, so that the client's next write meets a
                                closed socket). Every byte the client sent (decrypted where TLS was up) is
                                appended to FOLDER/received once the connection has ended, and then
                                FOLDER/received.served is made.
    smtp_sink.py makecert FOLDER [NAME]
                                writes a throw-away self-signed certificate for localhost and 127.0.0.1
                                (or for the host name NAME alone) into FOLDER/cert.pem, its key into
                                FOLDER/key.pem.
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
import socket
import ssl
import struct
import subprocess
import sys
import time
import warnings

from aiosmtpd.smtp import SMTP, AuthResult

# Seconds: how often the server looks for the stop file, and how long it runs at most (a test that died
# never asks it to stop).
POLL = 0.02

# The server's own use of a name it has deprecated is no news to the tests' output.
warnings.filterwarnings("ignore", message="Session.login_data is deprecated")
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


class RecordingSMTP(SMTP):
    """Notes every byte that arrives before the session is encrypted."""

    def __init__(self, *args, clear_log, **kwargs):
        super().__init__(*args, **kwargs)
        self.clear_log = clear_log

    def data_received(self, data):
        encrypted = self._tls_protocol is not None or self.transport.get_extra_info("sslcontext") is not None
        if not encrypted:
            with open(self.clear_log, "ab") as f:
                f.write(data)
        super().data_received(data)


def authenticator(login, password):
    def check(server, session, envelope, mechanism, auth_data):
        accepted = auth_data.login == login and auth_data.password == password
        # Not "handled": the server answers a refusal with its own 535.
        return AuthResult(success=accepted, handled=False)

    return check


def make_cert(folder, name=None):
    subject = "/CN=" + (name or "localhost")
    alt_names = "DNS:" + name if name else "DNS:localhost,IP:127.0.0.1"
    subprocess.run(
        ["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", subject,
         "-addext", "subjectAltName=" + alt_names,
         "-keyout", os.path.join(folder, "key.pem"), "-out", os.path.join(folder, "cert.pem")],
        check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


async def serve(folder, security="plain", login=None, password=None, mechanism=None):
    store = Store(folder)
    loop = asyncio.get_running_loop()
    context = None
    if security != "plain":
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(os.path.join(folder, "cert.pem"), os.path.join(folder, "key.pem"))
    options = dict(hostname="sink", decode_data=False, clear_log=os.path.join(folder, "clear.log"))
    if security == "starttls":
        options["tls_context"] = context
    if login is not None:
        options["authenticator"] = authenticator(login.encode(), password.encode())
        # Implicit TLS is encryption too, though the server knows only STARTTLS as such.
        options["auth_require_tls"] = security == "starttls"
        if mechanism:
            options["auth_exclude_mechanism"] = [m for m in ("PLAIN", "LOGIN") if m != mechanism]
    server = await loop.create_server(lambda: RecordingSMTP(store, **options), "127.0.0.1", 0,
                                      ssl=context if security == "tls" else None)
    write_port(folder, server.sockets[0].getsockname()[1])
    async with server:
        stop = os.path.join(folder, "stop")
        for _ in range(int(LIFETIME / POLL)):
            if os.path.exists(stop):
                break
            await asyncio.sleep(POLL)
    with open(os.path.join(folder, "stopped"), "w"):
        pass


def write_port(folder, port):
    # Written under another name and renamed, so the reader never sees half a number.
    with open(os.path.join(folder, "port.tmp"), "w") as f:
        f.write(str(port))
    os.replace(os.path.join(folder, "port.tmp"), os.path.join(folder, "port"))


class Record:
    """What the client sent on one connection, and how much of it the script has read."""

    def __init__(self):
        self.data = b""
        self.consumed = 0

    def take(self, connection):
        data = connection.recv(65536)
        self.data += data
        return bool(data)

    def read_until(self, connection, end):
        """Reads until `end` has arrived past what the script read before; False when the client went away."""
        while True:
            at = self.data.find(end, self.consumed)
            if at >= 0:
                self.consumed = at + len(end)
                return True
            if not self.take(connection):
                return False


def run_script(connection, context, steps, log):
    connection.settimeout(10)
    record = Record()
    try:
        for step in steps:
            kind, _, argument = step.partition(" ")
            if kind == "send":
                connection.sendall(argument.replace("\\r", "\r").replace("\\n", "\n").encode("latin-1"))
            elif kind in ("line", "data"):
                # The closing dot's CR LF may be the line end of the last body line.
                if kind == "data":
                    record.consumed = max(0, record.consumed - 2)
                if not record.read_until(connection, b"\n" if kind == "line" else b"\r\n.\r\n"):
                    break
            elif kind == "tls":
                connection = context.wrap_socket(connection, server_side=True)
            elif kind == "pause":
                time.sleep(int(argument) / 1000)
            elif kind == "close":
                break
            elif kind == "reset":
                # Linger on, time 0: the close resets the connection.
                connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                break
        else:
            while record.take(connection):
                pass
    except (OSError, ssl.SSLError):
        pass
    finally:
        connection.close()
        with open(log, "ab") as f:
            f.write(record.data)
        # Written last, so that a reader that sees it finds the connection's record whole.
        with open(log + ".tmp", "w"):
            pass
        os.replace(log + ".tmp", log + ".served")


def script(folder, script_file):
    with open(script_file) as f:
        steps = [line.rstrip("\n") for line in f if line.strip()]
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    cert = os.path.join(folder, "cert.pem")
    if os.path.exists(cert):
        context.load_cert_chain(cert, os.path.join(folder, "key.pem"))
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(4)
    listener.settimeout(POLL)
    write_port(folder, listener.getsockname()[1])
    stop = os.path.join(folder, "stop")
    for _ in range(int(LIFETIME / POLL)):
        if os.path.exists(stop):
            break
        try:
            connection, _ = listener.accept()
        except socket.timeout:
            continue
        run_script(connection, context, steps, os.path.join(folder, "received"))
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
    if 3 <= len(sys.argv) <= 7 and sys.argv[1] == "serve":
        asyncio.run(serve(*sys.argv[2:]))
    elif len(sys.argv) == 4 and sys.argv[1] == "script":
        script(*sys.argv[2:])
    elif len(sys.argv) in (3, 4) and sys.argv[1] == "makecert":
        make_cert(*sys.argv[2:])
    elif len(sys.argv) == 3 and sys.argv[1] == "parse":
        parse(sys.argv[2])
    elif len(sys.argv) == 3 and sys.argv[1] == "check":
        check(sys.argv[2])
    else:
        sys.exit(__doc__)

# SPDX-FileCopyrightText: 2026 The Jeerforge developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""A print service that takes a document and never answers for it: it stands
on 127.0.0.1:PORT-FILE's port in front of the real scheduler at
127.0.0.1:CUPSD-PORT and passes every request and answer through, except
the first Send-Document, which it reads whole, keeps from the scheduler, and
answers by closing the connection. The scheduler's job then still waits for
its document. It ends after two minutes.
    unanswered_document.py PORT-FILE CUPSD-PORT"""

import os
import socket
import sys
import threading
import time

SEND_DOCUMENT = 0x0006


def read_head(stream):
    """The request line and headers, as bytes, or None at the end."""
    head = b""
    while not head.endswith(b"\r\n\r\n"):
        byte = stream.read(1)
        if not byte:
            return None
        head += byte
    return head


def read_body(stream, head):
    """The body that the headers announce, whole, and as sent."""
    fields = {}
    for line in head.split(b"\r\n")[1:]:
        name, _, value = line.partition(b":")
        fields[name.strip().lower()] = value.strip().lower()
    if fields.get(b"transfer-encoding") == b"chunked":
        body = b""
        while True:
            size_line = stream.readline()
            size = int(size_line.split(b";")[0], 16)
            chunk = stream.read(size + 2)
            body += size_line + chunk
            if size == 0:
                return body
    return stream.read(int(fields.get(b"content-length", b"0")))


def ipp_operation(body):
    """The IPP operation of a chunked or plain request body."""
    if b"\r\n" in body[:10]:
        body = body.split(b"\r\n", 1)[1]
    return int.from_bytes(body[2:4], "big") if len(body) >= 4 else 0


def serve(client, cupsd_port, dropped):
    scheduler = socket.create_connection(("127.0.0.1", cupsd_port))
    from_client = client.makefile("rb")
    from_scheduler = scheduler.makefile("rb")
    try:
        while True:
            head = read_head(from_client)
            if head is None:
                return
            if b"100-continue" in head.lower():
                client.sendall(b"HTTP/1.1 100 Continue\r\n\r\n")
                head = b"\r\n".join(line for line in head.split(b"\r\n") if not line.lower().startswith(b"expect:"))
            body = read_body(from_client, head)
            if ipp_operation(body) == SEND_DOCUMENT and not dropped.is_set():
                dropped.set()
                return
            scheduler.sendall(head + body)
            while True:
                answer = read_head(from_scheduler)
                if answer is None:
                    return
                answer += read_body(from_scheduler, answer)
                client.sendall(answer)
                if not answer.startswith(b"HTTP/1.1 100"):
                    break
    finally:
        client.close()
        scheduler.close()


def main():
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    listener.settimeout(0.2)
    with open(sys.argv[1] + ".part", "w") as port_file:
        port_file.write(str(listener.getsockname()[1]))
    os.rename(sys.argv[1] + ".part", sys.argv[1])
    dropped = threading.Event()
    deadline = time.monotonic() + 120
    while time.monotonic() < deadline:
        try:
            client = listener.accept()[0]
        except socket.timeout:
            continue
        threading.Thread(target=serve, args=(client, int(sys.argv[2]), dropped), daemon=True).start()


main()

# SPDX-FileCopyrightText: 2026 The Jeerforge developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""A print service that has stopped responding: it accepts every connection
on the Unix socket given and never answers. Given "udp HOST", it is a name
server that takes every question on HOST's port 53 and never answers. It
ends after a minute."""

import socket
import sys
import time

if sys.argv[1] == "udp":
    listener = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    listener.bind((sys.argv[2], 53))
else:
    listener = socket.socket(socket.AF_UNIX)
    listener.bind(sys.argv[1])
    listener.listen(16)
listener.settimeout(0.2)
accepted = []
deadline = time.monotonic() + 60
while time.monotonic() < deadline:
    try:
        accepted.append(listener.recv(512) if sys.argv[1] == "udp" else listener.accept()[0])
    except socket.timeout:
        pass

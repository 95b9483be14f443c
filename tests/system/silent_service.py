# SPDX-FileCopyrightText: 2026 The Jeerforge developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""A print service that has stopped responding: it accepts every connection
on the Unix socket given and never answers. It ends after a minute."""

import socket
import sys
import time

listener = socket.socket(socket.AF_UNIX)
listener.bind(sys.argv[1])
listener.listen(16)
listener.settimeout(0.2)
accepted = []
deadline = time.monotonic() + 60
while time.monotonic() < deadline:
    try:
        accepted.append(listener.accept()[0])
    except socket.timeout:
        pass

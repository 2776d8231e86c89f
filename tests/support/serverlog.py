"""What the Python test servers share: their fault settings and their events file.

The settings file (JSON) is read again on every call, so a test can change how a server behaves
while it runs; an unreadable file means no faults. Events are appended one line each.
"""

import json


def settings_reader(path):
    def read():
        try:
            with open(path, encoding="utf-8") as f:
                return json.load(f)
        except (OSError, ValueError):
            return {}
    return read


def event_writer(path):
    def write(text):
        with open(path, "a", encoding="utf-8", errors="replace") as f:
            f.write(text + "\n")
    return write

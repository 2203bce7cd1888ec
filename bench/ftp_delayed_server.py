#!/usr/bin/python3
"""A scripted FTP control server for the round-trip rows: it greets at once
and answers every command after DELAY_MS milliseconds (0: at once), so a
client's CPU per command can be seen against a server that takes its time.
It logs anyone in, answers QUIT with 221 and closes, and every other command
with a success of its kind (331 for USER, 230 for PASS, 250 for anything
else); it has no data connections. Connections are served one at a time;
the server ends when none comes for LIFETIME_S seconds.

    ftp_delayed_server.py PORT DELAY_MS [LIFETIME_S]
"""
import socket
import sys
import time

REPLIES = {b"USER": b"331 Password please.", b"PASS": b"230 Logged in.", b"QUIT": b"221 Bye."}


def serve(connection, delay):
    connection.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    connection.settimeout(60)
    connection.sendall(b"220 Delayed server ready.\r\n")
    pending = b""
    while True:
        data = connection.recv(4096)
        if not data:
            return
        pending += data
        while b"\r\n" in pending:
            line, pending = pending.split(b"\r\n", 1)
            verb = line.split(b" ", 1)[0].upper()
            if delay:
                time.sleep(delay)
            connection.sendall(REPLIES.get(verb, b"250 Done.") + b"\r\n")
            if verb == b"QUIT":
                return


def main():
    port, delay_ms = int(sys.argv[1]), float(sys.argv[2])
    lifetime = float(sys.argv[3]) if len(sys.argv) > 3 else 3600
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", port))
    listener.listen(8)
    listener.settimeout(lifetime)
    while True:
        try:
            connection, _ = listener.accept()
        except socket.timeout:
            return
        with connection:
            try:
                serve(connection, delay_ms / 1000)
            except OSError:
                pass


if __name__ == "__main__":
    main()

#!/usr/bin/python3
"""The round-trip baseline: a bare FTP control connection over a plain socket.

Logs in, sends `CWD .` COUNT times, each after the previous reply has come,
and quits. The benchmark times whole runs of this with different counts, the
same way it times the `skein10` host, so start-up cancels out.

    ftp_round_trip.py HOST PORT USER PASSWORD COUNT
"""
import socket
import sys

TIMEOUT_SECONDS = 20


class Control:
    def __init__(self, host, port):
        self.sock = socket.create_connection((host, port), timeout=TIMEOUT_SECONDS)
        self.lines = self.sock.makefile("rb")

    def reply(self):
        """Reads one whole reply (multi-line ones too) and returns its code."""
        line = self.lines.readline()
        if len(line) < 4:
            raise RuntimeError("the server closed the connection")
        code = line[:3]
        while line[3:4] != b" " or line[:3] != code:
            line = self.lines.readline()
            if not line:
                raise RuntimeError("the server closed the connection inside a reply")
        return int(code)

    def command(self, text, expected):
        self.sock.sendall(text.encode() + b"\r\n")
        code = self.reply()
        if code // 100 not in expected:
            raise RuntimeError(f"{text.split()[0]} got reply {code}")
        return code


def main():
    host, port, user, password, count = sys.argv[1:6]
    control = Control(host, int(port))
    if control.reply() // 100 != 2:
        raise RuntimeError("the server refused the connection")
    if control.command(f"USER {user}", (2, 3)) // 100 == 3:
        control.command(f"PASS {password}", (2,))
    for _ in range(int(count)):
        control.command("CWD .", (2,))
    control.command("QUIT", (2,))


if __name__ == "__main__":
    main()

#!/usr/bin/python3
"""The round-trip peer in Python: logs in with ftplib, sends `CWD /` COUNT
times (each after the previous reply) and quits.

    ftp_round_trip.py HOST PORT USER PASSWORD COUNT
"""
import ftplib
import sys

TIMEOUT_SECONDS = 20


def main():
    host, port, user, password, count = sys.argv[1:6]
    ftp = ftplib.FTP(timeout=TIMEOUT_SECONDS)
    ftp.connect(host, int(port))
    ftp.login(user, password)
    for _ in range(int(count)):
        ftp.cwd("/")
    ftp.quit()


if __name__ == "__main__":
    main()

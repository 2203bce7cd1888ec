#!/usr/bin/python3
"""One side of the Python rows of the benchmark: the module skein10 or
ftplib, each doing the same on one session, the other's way.

    python_ftp.py skein10|ftplib cwd HOST PORT USER PASSWORD COUNT
    python_ftp.py skein10|ftplib get HOST PORT USER PASSWORD FOLDER NAME LOCAL

cwd sends `CWD /` COUNT times, each after the previous reply; get changes to
FOLDER and downloads NAME into the file LOCAL in binary mode (ftplib:
retrbinary into the file's write, as its documentation shows it).
"""
import ftplib
import sys

TIMEOUT_SECONDS = 20


def with_skein10(task, host, port, user, password, args):
    import skein10
    with skein10.Dispatch("Skein10.clsKvInetFTPConnection") as ftp:
        ftp.Connect(host, port, user, password)
        if task == "cwd":
            for _ in range(int(args[0])):
                ftp.ChangeDirectory("/")
        else:
            folder, name, local = args
            ftp.ChangeDirectory(folder)
            ftp.TransferType(skein10.TransferModes.ftp_BINARY)
            ftp.GetFile(name, local)


def with_ftplib(task, host, port, user, password, args):
    ftp = ftplib.FTP(timeout=TIMEOUT_SECONDS)
    ftp.connect(host, int(port))
    ftp.login(user, password)
    if task == "cwd":
        for _ in range(int(args[0])):
            ftp.cwd("/")
    else:
        folder, name, local = args
        ftp.cwd(folder)
        with open(local, "wb") as out:
            ftp.retrbinary("RETR " + name, out.write)
    ftp.quit()


def main():
    tool, task, host, port, user, password, *args = sys.argv[1:]
    (with_skein10 if tool == "skein10" else with_ftplib)(task, host, port, user, password, args)


if __name__ == "__main__":
    main()

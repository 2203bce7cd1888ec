"""The demo's Python session: the same components from Python, against the
demo's server. Creation needs no registration; members take their
arguments by name; a progress callback runs inside the download's wait; a
refused command raises skein10.Error with the server's reply.
    PYTHONPATH=BUILD/python /usr/bin/python3 scripts/demo.py PORT WORK_FOLDER"""

import pathlib
import sys

import skein10

port, work = sys.argv[1], pathlib.Path(sys.argv[2])
payload = work / "payload.bin"
name = "grüße.bin"
progress = []

with skein10.Dispatch("Skein10.clsKvInetFTPConnection") as ftp:
    ftp.Connect(eServer="127.0.0.1", ePort=port, eLogin="demo", ePass="demo")
    ftp.TransferType(skein10.TransferModes.ftp_BINARY)
    ftp.PutFile(name, payload)
    with skein10.every(0.001, lambda: progress.append(1)):
        ftp.GetFile(name, work / "python-download.bin")
    try:
        ftp.GetFile("no-such-file.bin", work / "never.bin")
    except skein10.Error as e:
        print(f"python: a refused RETR raised {type(e).__name__}: number {e.number}, reply {e.reply!r}")
    ftp.RemoveFile(name)
    print("-- python session log --")
    print(ftp.LogData.rstrip())

same = (work / "python-download.bin").read_bytes() == payload.read_bytes()
print(f"python: skein10 {skein10.__version__}, '{name}' downloaded back "
      f"{'byte for byte' if same else 'DIFFERENTLY'}")
sys.exit(0 if same else 1)

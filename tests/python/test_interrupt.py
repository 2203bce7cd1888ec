"""Ctrl-C (SIGINT) while the main thread waits in a member: KeyboardInterrupt
comes promptly, and the member unwinds (a download's side file is gone, the
existing local file is untouched). Run in a child interpreter."""

import os
import signal
import subprocess
import sys
import textwrap
import time

CHILD = textwrap.dedent("""
    import sys, time
    import skein10
    port, target = sys.argv[1], sys.argv[2]
    ftp = skein10.Dispatch("Skein10.clsKvInetFTPConnection")
    ftp.Connect("127.0.0.1", port, "skein", "s3cret-pass")
    ftp.TransferType(0)
    print("downloading", flush=True)
    try:
        ftp.GetFile("slow.bin", target)
    except KeyboardInterrupt:
        print("interrupted", flush=True)
        sys.exit(0)
    print("finished", flush=True)
    sys.exit(1)
""")


def test_ctrl_c_raises_keyboard_interrupt_and_the_download_unwinds(throttled_server, local):
    target = local / "slow.bin"
    target.write_bytes(b"the file as it was")
    child = subprocess.Popen(["/usr/bin/python3", "-c", CHILD, throttled_server.port_text, str(target)],
                             stdout=subprocess.PIPE, text=True, env=dict(os.environ))
    try:
        assert child.stdout.readline().strip() == "downloading"
        deadline = time.monotonic() + 20
        while len(list(local.iterdir())) < 2 and time.monotonic() < deadline:   # the side file appears
            time.sleep(0.02)
        assert len(list(local.iterdir())) == 2
        time.sleep(0.3)
        sent = time.monotonic()
        child.send_signal(signal.SIGINT)
        line = child.stdout.readline().strip()
        waited = time.monotonic() - sent
        assert child.wait(20) == 0
    finally:
        child.kill()
        child.wait()
    assert line == "interrupted"
    # The check runs every 50 ms; a busy machine may add its own delay.
    assert waited < 1.0, waited
    print(f"KeyboardInterrupt {waited * 1000:.0f} ms after SIGINT")
    assert target.read_bytes() == b"the file as it was"
    assert [p.name for p in local.iterdir()] == ["slow.bin"]

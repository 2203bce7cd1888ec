"""skein10.every and skein10.pump: callbacks on the calling thread inside a
member's wait or a pump, and an exception from a callback ending the waiting
member, which unwinds as after any failure."""

import time

import pytest

import skein10
from conftest import connect

FTP = "Skein10.clsKvInetFTPConnection"


def test_a_callback_runs_inside_pump_until_cancelled():
    calls = []
    handle = skein10.every(0.01, lambda: calls.append(time.monotonic()))
    deadline = time.monotonic() + 10
    while len(calls) < 3 and time.monotonic() < deadline:
        skein10.pump()
        time.sleep(0.005)
    assert len(calls) >= 3
    handle.cancel()
    handle.cancel()
    assert not handle.active
    count = len(calls)
    time.sleep(0.05)
    skein10.pump()
    assert len(calls) == count


def test_a_callback_runs_inside_a_members_wait(silent_server):
    ftp = skein10.Dispatch(FTP)
    ftp.TimeOut = 600
    ftp.Connect("127.0.0.1", str(silent_server.port), "u", "p")
    ticks = []
    with skein10.every(0.05, lambda: ticks.append(1)):
        with pytest.raises(TimeoutError):
            ftp.ChangeDirectory("/")
    assert len(ticks) >= 3


def test_an_exception_from_a_callback_ends_a_download_and_reaches_the_caller(throttled_server, local):
    class Cancelled(Exception):
        pass

    target = local / "slow.bin"
    target.write_bytes(b"the file as it was")
    seen = []

    def progress():
        seen.append(1)
        if len(seen) == 3:
            raise Cancelled("stop now")

    ftp = skein10.Dispatch(FTP)
    connect(ftp, throttled_server)
    with skein10.every(0.1, progress):
        with pytest.raises(Cancelled, match="stop now"):
            ftp.GetFile("slow.bin", target)
    assert target.read_bytes() == b"the file as it was"
    assert [p.name for p in local.iterdir()] == ["slow.bin"]   # no side file left
    assert len(seen) == 3


def test_the_handle_of_another_thread_can_not_cancel():
    import threading
    handle = skein10.every(1, lambda: None)
    caught = []
    thread = threading.Thread(target=lambda: caught.append(pytest.raises(skein10.WrongThreadError, handle.cancel)))
    thread.start()
    thread.join(10)
    assert handle.active
    handle.cancel()
    with pytest.raises(ValueError):
        skein10.every(0, lambda: None)

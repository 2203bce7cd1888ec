"""Threads: the GIL is released for the whole of every member's wait, sessions
on different Python threads transfer side by side, and objects dropped on a
thread that is not theirs are released on their own thread (or, once it has
ended, where they are dropped)."""

import gc
import os
import queue
import threading
import time

import skein10
from conftest import connect

FTP = "Skein10.clsKvInetFTPConnection"


def test_a_pure_python_thread_keeps_running_while_a_member_waits(silent_server):
    ftp = skein10.Dispatch(FTP)
    ftp.TimeOut = 1000
    ftp.Connect("127.0.0.1", str(silent_server.port), "u", "p")
    counted = 0
    stop = threading.Event()

    def count():
        nonlocal counted
        while not stop.is_set():
            counted += 1

    counter = threading.Thread(target=count)
    counter.start()
    time.sleep(0.05)
    before = counted
    try:
        ftp.ChangeDirectory("/")   # waits a full second for a reply that never comes
    except TimeoutError:
        pass
    during = counted - before
    stop.set()
    counter.join()
    assert during > 100_000, during


def test_sessions_on_different_threads_transfer_side_by_side(pyftpdlib_server, local):
    contents = {i: os.urandom(200_000 + i) for i in range(4)}
    for i, content in contents.items():
        (local / f"up{i}.bin").write_bytes(content)
    problems = []

    def session(i):
        try:
            with skein10.Dispatch(FTP) as ftp:
                connect(ftp, pyftpdlib_server)
                for round in range(3):
                    ftp.PutFile(f"thread{i}.bin", local / f"up{i}.bin")
                    ftp.GetFile(f"thread{i}.bin", local / f"down{i}.bin")
                    if (local / f"down{i}.bin").read_bytes() != contents[i]:
                        problems.append(f"thread {i}, round {round}: the download differs")
        except Exception as e:   # noqa: BLE001 - reported below
            problems.append(f"thread {i}: {e!r}")

    threads = [threading.Thread(target=session, args=(i,)) for i in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join(120)
    assert problems == []


def test_objects_dropped_on_another_thread_are_released_on_their_own(pyftpdlib_server):
    made = queue.Queue()
    done = threading.Event()

    def owner():
        sessions = []
        for i in range(40):
            ftp = skein10.Dispatch(FTP)
            if i % 4 == 0:
                connect(ftp, pyftpdlib_server)
            sessions.append(ftp)
        made.put(sessions)
        del sessions, ftp
        deadline = time.monotonic() + 30
        while not done.is_set() and time.monotonic() < deadline:
            skein10.pump()   # where the dropped sessions are destroyed
            time.sleep(0.01)

    thread = threading.Thread(target=owner)
    thread.start()
    sessions = made.get(timeout=60)
    del sessions
    gc.collect()
    done.set()
    thread.join(60)

    # An object whose thread has ended goes where its last reference goes.
    orphans = queue.Queue()
    ended = threading.Thread(target=lambda: orphans.put([skein10.Dispatch(FTP) for _ in range(40)]))
    ended.start()
    ended.join(60)
    del ended
    orphans.get(timeout=1).clear()
    gc.collect()
    ftp = skein10.Dispatch(FTP)
    connect(ftp, pyftpdlib_server)   # the process goes on unharmed
    ftp.Disconnect()

"""FTP sessions from Python against real servers: transfers (a non-ASCII and
a non-UTF-8 file name, explicit TLS), errors by cause, `with` blocks and
the one-thread rule."""

import os
import socket
import threading
import time

import pytest

import skein10
from conftest import connect

FTP = "Skein10.clsKvInetFTPConnection"


def test_arguments_by_parameter_name_and_a_round_trip(pyftpdlib_server, local):
    content = os.urandom(300_000)
    (local / "up.bin").write_bytes(content)
    with skein10.Dispatch(FTP) as ftp:
        ftp.Connect(eServer="127.0.0.1", ePort=pyftpdlib_server.port_text, eLogin=pyftpdlib_server.user,
                    ePass=pyftpdlib_server.password)
        assert ftp.TransferType(skein10.TransferModes.ftp_BINARY) == ""
        assert ftp.PutFile("round.bin", local / "up.bin") == ""
        assert ftp.GetFile(RemoteFileName="round.bin", LocalFileName=str(local / "down.bin")) == ""
        assert ftp.ListContents(local / "list.txt") == ""
    assert (local / "down.bin").read_bytes() == content
    assert "round.bin" in (local / "list.txt").read_text()
    with pytest.raises(skein10.Error):   # the block's end disconnected
        ftp.ChangeDirectory("/")


@pytest.mark.parametrize("name", ["grüße 東京.bin", os.fsdecode(b"caf\xe9-latin1.bin")])
def test_file_names_reach_the_server_as_their_bytes(vsftpd_tls, local, name):
    content = os.urandom(10_000)
    source = local / "source.bin"
    source.write_bytes(content)
    with skein10.Dispatch(FTP) as ftp:
        connect(ftp, vsftpd_tls, host="ftpes://127.0.0.1")   # explicit TLS
        ftp.PutFile(name, source)
        ftp.GetFile(name, local / name)
    assert os.fsencode(name) in os.listdir(os.fsencode(vsftpd_tls.root))
    assert (vsftpd_tls.root / name).read_bytes() == content
    assert (local / name).read_bytes() == content
    assert "AUTH TLS" in ftp.LogData


def test_a_refused_command_carries_the_servers_reply(pyftpdlib_server, local):
    with skein10.Dispatch(FTP) as ftp:
        connect(ftp, pyftpdlib_server)
        with pytest.raises(skein10.Error) as caught:
            ftp.GetFile("no-such-file.bin", local / "x.bin")
    e = caught.value
    assert (e.number, e.source, e.command) == (8, "FTP Command", "RETR")
    assert e.reply.startswith("550 ")
    assert str(e) == f"error 8 (FTP Command): {e.description}"
    assert not isinstance(e, OSError)
    assert list(local.iterdir()) == []


def test_local_file_errors_are_os_errors_of_their_kind(pyftpdlib_server, local):
    (pyftpdlib_server.root / "small.bin").write_bytes(b"123")
    locked = local / "locked"
    locked.mkdir()
    with skein10.Dispatch(FTP) as ftp:
        connect(ftp, pyftpdlib_server)
        with pytest.raises(FileNotFoundError) as missing:
            ftp.PutFile("x.bin", local / "missing.bin")
        assert missing.value.number == 53 and missing.value.reply is None
        with pytest.raises(OSError) as into_folder:
            ftp.GetFile("small.bin", local / "no" / "such" / "folder.bin")
        assert isinstance(into_folder.value, skein10.Error)
        if os.geteuid() != 0:   # root may write anywhere
            os.chmod(locked, 0o500)
            with pytest.raises(PermissionError) as refused:
                ftp.GetFile("small.bin", locked / "x.bin")
            assert refused.value.number == 70


def test_a_refused_connection_is_a_connection_error():
    port = socket.create_server(("127.0.0.1", 0))
    free = port.getsockname()[1]
    port.close()
    ftp = skein10.Dispatch(FTP)
    with pytest.raises(ConnectionError) as caught:
        ftp.Connect("127.0.0.1", str(free), "u", "p")
    assert caught.value.number == 8 and isinstance(caught.value, skein10.Error)


def test_the_reply_time_out_is_a_timeout_error(silent_server):
    ftp = skein10.Dispatch(FTP)
    ftp.TimeOut = 300
    ftp.Connect("127.0.0.1", str(silent_server.port), "u", "p")
    with pytest.raises(TimeoutError) as caught:
        ftp.ChangeDirectory("/")
    assert caught.value.description == "The servers response has timed out."


def test_reading_a_method_calls_nothing(silent_server):
    ftp = skein10.Dispatch(FTP)
    ftp.TimeOut = 300
    ftp.Connect("127.0.0.1", str(silent_server.port), "u", "p")
    disconnect = ftp.Disconnect   # read, not called: no QUIT
    with pytest.raises(TimeoutError):
        ftp.ChangeDirectory("/after")
    assert silent_server.received == ["CWD /after"]
    disconnect()
    deadline = time.monotonic() + 10
    while len(silent_server.received) < 2 and time.monotonic() < deadline:
        time.sleep(0.01)
    assert silent_server.received == ["CWD /after", "QUIT"]


def test_with_never_hides_the_blocks_own_exception(silent_server):
    with pytest.raises(ZeroDivisionError):
        with skein10.Dispatch(FTP) as ftp:
            ftp.Connect("127.0.0.1", str(silent_server.port), "u", "p")
            silent_server.close()   # the Disconnect at the end may fail now: it gives way
            1 / 0
    with skein10.Dispatch(FTP) as never_connected:   # nothing to disconnect, nothing sent
        pass
    assert never_connected.LogData == ""


def test_another_thread_gets_wrong_thread_error_at_once(pyftpdlib_server):
    ftp = skein10.Dispatch(FTP)
    connect(ftp, pyftpdlib_server)
    caught = []

    def other():
        for use in (lambda: ftp.ChangeDirectory("/"), lambda: ftp.TimeOut, lambda: setattr(ftp, "TimeOut", 5)):
            try:
                use()
            except skein10.WrongThreadError as e:
                caught.append(e)

    thread = threading.Thread(target=other)
    thread.start()
    thread.join(30)
    assert len(caught) == 3
    assert all(isinstance(e, RuntimeError) and e.number == 1001 for e in caught)
    assert ftp.TimeOut == 20000
    ftp.Disconnect()


def test_a_refused_certificate_is_a_connection_error(vsftpd_tls, tmp_path):
    stranger = tmp_path / "no-authority.pem"
    stranger.write_text("")
    trusted = os.environ["SSL_CERT_FILE"]
    os.environ["SSL_CERT_FILE"] = str(stranger)   # a store that trusts nobody
    try:
        ftp = skein10.Dispatch(FTP)
        with pytest.raises(ConnectionError) as caught:
            ftp.Connect("ftpes://127.0.0.1", vsftpd_tls.port_text, vsftpd_tls.user, vsftpd_tls.password)
    finally:
        os.environ["SSL_CERT_FILE"] = trusted
    assert "certificate" in caught.value.description
    assert caught.value.number == 8 and "USER" not in ftp.LogData

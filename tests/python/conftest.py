"""Fixtures of the Python package's tests: the real FTP servers of the C++
tests (pyftpdlib, and vsftpd with explicit TLS, through their launcher
skein10_test_server), a throttled pyftpdlib for long transfers and a silent
server for time-outs.

The tests import the package from the build tree (PYTHONPATH, set by CTest)
and never register anything: the classes come from the store installed
beside the libraries."""

import os
import pathlib
import shutil
import socket
import subprocess
import sys
import tempfile
import textwrap
import threading
import time

import pytest

PYTHON = "/usr/bin/python3"
WORK = pathlib.Path(tempfile.mkdtemp(prefix="skein10-pytest-"))

# A user store that does not exist: creation must not need registration.
os.environ["SKEIN10_REGISTRY"] = str(WORK / "no-registry")
os.environ["SKEIN10_URLCACHE"] = str(WORK / "urlcache")
os.environ.pop("SKEIN10_INSTALLED_REGISTRY", None)


def pytest_sessionfinish(session, exitstatus):
    shutil.rmtree(WORK, ignore_errors=True)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for_port(port, process, seconds=20.0):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if process.poll() is not None:
            raise RuntimeError(f"the server ended at once ({process.returncode})")
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=1):
                return
        except OSError:
            time.sleep(0.05)
    raise RuntimeError(f"no server on port {port}")


class Server:
    """A server process: where it listens, its account, its files' folder
    (``root``) and that folder as the client sees it (``home``)."""

    def __init__(self, command, port, user, password, root, home="/", env=None):
        self.port = port
        self.user = user
        self.password = password
        self.root = pathlib.Path(root)
        self.home = home
        self.process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                        env=env)
        wait_for_port(port, self.process)

    @property
    def port_text(self):
        return str(self.port)

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


def folder(name):
    path = pathlib.Path(tempfile.mkdtemp(prefix=name + "-", dir=WORK))
    return path


class LaunchedServer:
    """A server of tests/support, started by its launcher (skein10_test_server),
    which keeps it until its standard input ends."""

    def __init__(self, kind):
        launcher = os.environ.get("SKEIN10_TEST_SERVER")
        if not launcher:
            pytest.skip("SKEIN10_TEST_SERVER names no server launcher")
        self.process = subprocess.Popen([launcher, kind], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        line = self.process.stdout.readline()
        if not line:
            self.process.wait(30)
            raise RuntimeError(f"the {kind} server did not start ({self.process.returncode})")
        facts = dict(word.split("=", 1) for word in line.split())
        self.port = int(facts["port"])
        self.port_text = facts["port"]
        self.user, self.password, self.home = facts["user"], facts["password"], facts["home"]
        self.root = pathlib.Path(facts["root"])
        self.authority = facts["authority"]

    def stop(self):
        self.process.stdin.close()
        self.process.wait(30)


@pytest.fixture(scope="session")
def pyftpdlib_server():
    server = LaunchedServer("pyftpdlib")
    yield server
    server.stop()


THROTTLED_SERVER = textwrap.dedent("""
    import sys
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
    from pyftpdlib.servers import FTPServer
    port, root, rate = sys.argv[1], sys.argv[2], int(sys.argv[3])
    authorizer = DummyAuthorizer()
    authorizer.add_user("skein", "s3cret-pass", root, perm="elradfmwMT")
    ThrottledDTPHandler.write_limit = rate
    ThrottledDTPHandler.read_limit = rate
    FTPHandler.authorizer = authorizer
    FTPHandler.dtp_handler = ThrottledDTPHandler
    FTPServer(("127.0.0.1", int(port)), FTPHandler).serve_forever()
""")


@pytest.fixture(scope="session")
def throttled_server():
    """pyftpdlib sending and receiving 256 KiB a second, so a transfer of a
    few MiB lasts long enough to interrupt."""
    root = folder("throttled")
    script = root.parent / "throttled_server.py"
    script.write_text(THROTTLED_SERVER)
    port = free_port()
    server = Server([PYTHON, str(script), str(port), str(root), str(256 * 1024)], port, "skein", "s3cret-pass",
                    root)
    (root / "slow.bin").write_bytes(os.urandom(8 << 20))
    yield server
    server.stop()


@pytest.fixture(scope="session")
def vsftpd_tls():
    """vsftpd requiring explicit TLS (AUTH TLS) for the log-in and every data
    connection; this process trusts its test authority."""
    if os.geteuid() != 0:
        pytest.skip("vsftpd runs as root only")
    server = LaunchedServer("vsftpd-explicit-tls")
    os.environ["SSL_CERT_FILE"] = server.authority
    yield server
    server.stop()


class SilentServer:
    """Greets, takes the log-in, then answers nothing more."""

    def __init__(self):
        self.received = []   # the lines after the log-in
        self.listener = socket.create_server(("127.0.0.1", 0))
        self.port = self.listener.getsockname()[1]
        self.connections = []
        self.thread = threading.Thread(target=self.serve, daemon=True)
        self.thread.start()

    def serve(self):
        while True:
            try:
                connection, _ = self.listener.accept()
            except OSError:
                return
            self.connections.append(connection)
            threading.Thread(target=self.log_in, args=(connection,), daemon=True).start()

    def log_in(self, connection):
        try:
            connection.sendall(b"220 quiet\r\n")
            reader = connection.makefile("rb")
            reader.readline()
            connection.sendall(b"331 password\r\n")
            reader.readline()
            connection.sendall(b"230 in\r\n")
            for line in reader:
                self.received.append(line.decode().rstrip())
        except OSError:
            pass

    def close(self):
        self.listener.close()
        for connection in self.connections:
            connection.close()


@pytest.fixture
def silent_server():
    server = SilentServer()
    yield server
    server.close()


@pytest.fixture
def local(tmp_path):
    return tmp_path


def connect(ftp, server, host="127.0.0.1"):
    """Logs the session in and goes to the server's writable folder."""
    ftp.Connect(host, server.port_text, server.user, server.password)
    ftp.ChangeDirectory(server.home)
    ftp.TransferType(0)

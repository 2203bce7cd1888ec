"""Fixtures of the Python package's tests: real FTP servers on free loopback
ports (pyftpdlib, and vsftpd with explicit TLS, as the C++ tests start them),
a throttled server for long transfers, a silent one for time-outs, and a test
certificate authority that the process trusts (SSL_CERT_FILE).

The tests import the package from the build tree (PYTHONPATH, set by CTest)
and never register anything: the classes come from the store installed
beside the libraries."""

import os
import pathlib
import pwd
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


@pytest.fixture(scope="session")
def certificates():
    """A test authority and a server certificate for 127.0.0.1, trusted by
    this process."""
    where = folder("certificates")
    log = open(where / "openssl.log", "w")

    def openssl(*args):
        subprocess.run(["openssl", *args], check=True, stdout=log, stderr=log, cwd=where)

    new_key = ["-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"]
    openssl("req", "-x509", *new_key, "-keyout", "ca.key", "-out", "ca.pem", "-days", "3",
            "-subj", "/CN=Skein10 test authority", "-addext", "basicConstraints=critical,CA:TRUE",
            "-addext", "keyUsage=critical,keyCertSign,cRLSign")
    openssl("req", "-new", *new_key, "-keyout", "server.key", "-out", "server.csr", "-subj", "/CN=localhost")
    (where / "server.ext").write_text("subjectAltName=DNS:localhost,IP:127.0.0.1,IP:::1\n")
    openssl("x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-set_serial", "1",
            "-days", "2", "-extfile", "server.ext", "-out", "server.pem")
    log.close()
    os.environ["SSL_CERT_FILE"] = str(where / "ca.pem")
    return where


@pytest.fixture(scope="session")
def pyftpdlib_server():
    root = folder("pyftpdlib")
    port = free_port()
    server = Server([PYTHON, "-m", "pyftpdlib", "-i", "127.0.0.1", "-p", str(port), "-d", str(root),
                     "-u", "skein", "-P", "s3cret-pass", "-w"], port, "skein", "s3cret-pass", root)
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
def vsftpd_tls(certificates):
    """vsftpd requiring explicit TLS (AUTH TLS) for the log-in and every data
    connection, anonymous account, writable folder /pub."""
    if os.geteuid() != 0 or not os.path.exists("/usr/sbin/vsftpd"):
        pytest.skip("vsftpd runs as root only")
    top = folder("vsftpd")
    empty = folder("vsftpd-empty")
    os.chmod(top, 0o755)
    pub = top / "pub"
    pub.mkdir()
    account = pwd.getpwnam("ftp")
    os.chown(pub, account.pw_uid, account.pw_gid)
    port = free_port()
    config = top.parent / f"vsftpd-{port}.conf"
    config.write_text(textwrap.dedent(f"""\
        listen=YES
        listen_ipv6=NO
        listen_address=127.0.0.1
        listen_port={port}
        background=NO
        seccomp_sandbox=NO
        isolate=NO
        isolate_network=NO
        secure_chroot_dir={empty}
        anonymous_enable=YES
        local_enable=NO
        anon_root={top}
        ftp_username=ftp
        nopriv_user=ftp
        write_enable=YES
        anon_upload_enable=YES
        anon_mkdir_write_enable=YES
        anon_other_write_enable=YES
        anon_world_readable_only=NO
        anon_umask=022
        pasv_enable=YES
        port_enable=YES
        connect_from_port_20=NO
        xferlog_enable=NO
        dirmessage_enable=NO
        ssl_enable=YES
        allow_anon_ssl=YES
        force_anon_logins_ssl=YES
        force_anon_data_ssl=YES
        require_ssl_reuse=YES
        strict_ssl_read_eof=YES
        ssl_ciphers=HIGH
        rsa_cert_file={certificates / "server.pem"}
        rsa_private_key_file={certificates / "server.key"}
        """))
    server = Server(["/usr/sbin/vsftpd", str(config)], port, "anonymous", "skein10@example.org", pub, "/pub")
    yield server
    server.stop()


class SilentServer:
    """Greets, takes the log-in, then answers nothing more."""

    def __init__(self):
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

    @staticmethod
    def log_in(connection):
        try:
            connection.sendall(b"220 quiet\r\n")
            reader = connection.makefile("rb")
            reader.readline()
            connection.sendall(b"331 password\r\n")
            reader.readline()
            connection.sendall(b"230 in\r\n")
            while reader.readline():
                pass
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

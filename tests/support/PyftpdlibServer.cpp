#include "PyftpdlibServer.h"

#include <fstream>
#include <stdexcept>

#include "TestCertificates.h"
#include "skein10/String.h"

namespace skein10::test {

namespace {

constexpr char kTlsScript[] = R"(import sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import TLS_FTPHandler
from pyftpdlib.servers import FTPServer
address, port, root, user, password, cert, key, tls12 = sys.argv[1:9]
authorizer = DummyAuthorizer()
authorizer.add_user(user, password, root, perm="elradfmwMT")
handler = TLS_FTPHandler
handler.authorizer = authorizer
handler.certfile = cert
handler.keyfile = key
handler.tls_control_required = True
handler.tls_data_required = True
if tls12 == "1":
    from OpenSSL import SSL
    handler.ssl_context = handler.get_ssl_context()
    handler.ssl_context.set_max_proto_version(SSL.TLS1_2_VERSION)
FTPServer((address, int(port)), handler).serve_forever()
)";

constexpr char kPython[] = "/usr/bin/python3";
// Where Debian's packages python3-pyftpdlib and python3-openssl put the modules.
const std::filesystem::path kModules = "/usr/lib/python3/dist-packages";

}  // namespace

std::optional<std::string> PyftpdlibServer::unavailable() {
  if (!std::filesystem::exists(kPython)) return std::string(kPython) + " is missing (Debian's package python3)";
  if (!std::filesystem::exists(kModules / "pyftpdlib"))
    return "the Python module pyftpdlib is missing (Debian's package python3-pyftpdlib)";
  if (!std::filesystem::exists(kModules / "OpenSSL"))
    return "the Python module OpenSSL is missing (Debian's package python3-openssl)";
  return std::nullopt;
}

PyftpdlibServer::PyftpdlibServer(FtpServerOptions options) : FtpTestServer("pyftpdlib", u"skein", u"s3cret-pass") {
  setAddress(options.address);
  if (options.tls == FtpServerOptions::Tls::None) {
    start({kPython, "-m", "pyftpdlib", "-i", address(), "-p", std::to_string(port()), "-d",
           root().string(), "-u", toUtf8(user()), "-P", toUtf8(password()), "-w"});
    return;
  }
  if (options.tls != FtpServerOptions::Tls::Explicit) {
    throw std::invalid_argument("pyftpdlib serves explicit TLS only");
  }
  const std::filesystem::path script = work() / "tls_server.py";
  std::ofstream(script) << kTlsScript;
  const TestCertificates& certs = TestCertificates::shared();
  start({kPython, script.string(), address(), std::to_string(port()), root().string(), toUtf8(user()),
         toUtf8(password()), certs.server().string(), certs.key().string(), options.tls12Only ? "1" : "0"});
}

}  // namespace skein10::test

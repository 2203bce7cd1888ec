#pragma once
// The Python FTP server library's server, one user with write access: its
// stand-alone server for plain FTP, a short script around its TLS handler
// (python3-openssl) for explicit TLS. That handler requires TLS for the
// log-in and every data connection, and starts a data connection's
// handshake only once the transfer command has come (a client hello before
// it makes the server drop the connection).

#include <optional>
#include <string>

#include "FtpTestServer.h"

namespace skein10::test {

class PyftpdlibServer : public FtpTestServer {
 public:
  explicit PyftpdlibServer(FtpServerOptions options = {});

  // Why the server can't run here (not installed or unpacked, not root);
  // none when it can. Tests skip with this reason (ServerSkip.h).
  static std::optional<std::string> unavailable();
};

}  // namespace skein10::test

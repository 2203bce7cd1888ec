#pragma once
// Debian's proftpd with mod_tls, run in the foreground from the copy that
// `./run` unpacks into build/peers/proftpd (its package conflicts with
// vsftpd's, so it is never installed). One virtual account from a private
// password file, mapped to "nobody", locked into the writable root folder.
//
// With TLS, proftpd requires it for the log-in and every data connection
// (TLSRequired on) and, by its default, requires each data connection to
// resume the control connection's TLS session; TLS 1.2 and 1.3 are offered,
// or 1.2 only. Implicit TLS is its UseImplicitSSL option.

#include <optional>
#include <string>

#include "FtpTestServer.h"

namespace skein10::test {

class ProftpdServer : public FtpTestServer {
 public:
  explicit ProftpdServer(FtpServerOptions options = {});

  // Why the server can't run here (not installed or unpacked, not root);
  // none when it can. Tests skip with this reason (ServerSkip.h).
  static std::optional<std::string> unavailable();
};

}  // namespace skein10::test

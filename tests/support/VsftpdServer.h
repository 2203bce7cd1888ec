#pragma once
// Debian's vsftpd with a private configuration: anonymous account with write
// access, run in the foreground by a root test process without its sandbox.
// vsftpd refuses a writable chroot folder, so the account's writable folder
// is "/pub" below a read-only top folder.
//
// With TLS, vsftpd requires it for the log-in and every data connection,
// requires each data connection to resume the control connection's session
// (require_ssl_reuse) and an upload's data to end with the closing alert
// (strict_ssl_read_eof). Its local-user rule (force_local_logins_ssl) is set
// too, but the account is the anonymous one, so its own rules
// (force_anon_logins_ssl, force_anon_data_ssl) are what refuse clear text.
// This vsftpd has no switch per TLS version: the TLS 1.2 cap comes from an
// OpenSSL configuration given to its process (MaxProtocol).

#include <optional>
#include <string>

#include "FtpTestServer.h"

namespace skein10::test {

class VsftpdServer : public FtpTestServer {
 public:
  explicit VsftpdServer(FtpServerOptions options = {});

  // Why the server can't run here (not installed or unpacked, not root);
  // none when it can. Tests skip with this reason (ServerSkip.h).
  static std::optional<std::string> unavailable();
};

}  // namespace skein10::test

#pragma once
// Debian's vsftpd with a private configuration: anonymous account with write
// access, run in the foreground by a root test process without its sandbox.
// vsftpd refuses a writable chroot folder, so the account's writable folder
// is "/pub" below a read-only top folder.

#include "FtpTestServer.h"

namespace skein10::test {

class VsftpdServer : public FtpTestServer {
 public:
  VsftpdServer();
};

}  // namespace skein10::test

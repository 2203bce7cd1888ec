#pragma once
// The Python FTP server library's stand-alone server, one user with write access.

#include "FtpTestServer.h"

namespace skein10::test {

class PyftpdlibServer : public FtpTestServer {
 public:
  PyftpdlibServer();
};

}  // namespace skein10::test

#include "PyftpdlibServer.h"

#include "skein10/String.h"

namespace skein10::test {

PyftpdlibServer::PyftpdlibServer() : FtpTestServer("pyftpdlib", u"skein", u"s3cret-pass") {
  start({"/usr/bin/python3", "-m", "pyftpdlib", "-i", "127.0.0.1", "-p", std::to_string(port()), "-d",
         root().string(), "-u", toUtf8(user()), "-P", toUtf8(password()), "-w"});
}

}  // namespace skein10::test

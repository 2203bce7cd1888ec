// The test servers of tests/support for tests in other languages (the Python
// package's pytest files): starts one and prints one line that says where it
// is, then keeps it until its standard input ends.
//
//   skein10_test_server pyftpdlib | vsftpd | vsftpd-explicit-tls
//
// prints "port=N user=U password=P root=FOLDER home=NAME authority=FILE"
// (authority: the test certificate authority's certificate, which the
// servers' certificates chain to).

#include <iostream>
#include <memory>
#include <string>

#include "PyftpdlibServer.h"
#include "TestCertificates.h"
#include "VsftpdServer.h"
#include "skein10/String.h"

namespace {

using namespace skein10;
using namespace skein10::test;

std::unique_ptr<FtpTestServer> start(const std::string& kind) {
  if (kind == "pyftpdlib") return std::make_unique<PyftpdlibServer>();
  if (kind == "vsftpd") return std::make_unique<VsftpdServer>();
  if (kind == "vsftpd-explicit-tls") {
    FtpServerOptions options;
    options.tls = FtpServerOptions::Tls::Explicit;
    return std::make_unique<VsftpdServer>(options);
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string kind = argc == 2 ? argv[1] : "";
  try {
    const auto server = start(kind);
    if (!server) {
      std::cerr << "usage: skein10_test_server pyftpdlib | vsftpd | vsftpd-explicit-tls\n";
      return 2;
    }
    std::cout << "port=" << server->port() << " user=" << toUtf8(server->user())
              << " password=" << toUtf8(server->password()) << " root=" << server->root().string()
              << " home=" << toUtf8(server->home()) << " authority=" << TestCertificates::shared().authority().string()
              << std::endl;
    std::string ignored;
    while (std::getline(std::cin, ignored)) {
    }
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "skein10_test_server: " << e.what() << "\n";
    return 1;
  }
}

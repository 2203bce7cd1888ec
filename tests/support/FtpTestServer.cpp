#include "FtpTestServer.h"

#include "TestSocket.h"

namespace skein10::test {

FtpTestServer::FtpTestServer(std::string name, std::u16string user, std::u16string password)
    : name_(std::move(name)), port_(TestSocket::freePort()), user_(std::move(user)), password_(std::move(password)) {
  root_ = work_ / "root";
  std::filesystem::create_directory(root_);
}

FtpTestServer::~FtpTestServer() = default;

std::u16string FtpTestServer::portText() const {
  std::string text = std::to_string(port_);
  return std::u16string(text.begin(), text.end());
}

void FtpTestServer::start(std::vector<std::string> argv, std::vector<std::string> environment) {
  process_ = std::make_unique<ServerProcess>(std::move(argv), port_, work_ / (name_ + ".log"), std::chrono::seconds(30),
                                             std::move(environment), address_);
}

}  // namespace skein10::test

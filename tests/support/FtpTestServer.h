#pragma once
// A real FTP server for a test suite: on 127.0.0.1, a free port, a temporary
// root folder the tests can fill and inspect, one account with write access.

#include <filesystem>
#include <memory>
#include <string>

#include "ServerProcess.h"
#include "TempDir.h"

namespace skein10::test {

class FtpTestServer {
 public:
  virtual ~FtpTestServer();
  FtpTestServer(const FtpTestServer&) = delete;
  FtpTestServer& operator=(const FtpTestServer&) = delete;

  const std::string& name() const { return name_; }
  int port() const { return port_; }
  std::u16string portText() const;
  const std::u16string& user() const { return user_; }
  const std::u16string& password() const { return password_; }
  // The account's writable folder on disk, and its name on the server.
  const std::filesystem::path& root() const { return root_; }
  const std::u16string& home() const { return home_; }

 protected:
  FtpTestServer(std::string name, std::u16string user, std::u16string password);
  // Starts the program; it must listen on port().
  void start(std::vector<std::string> argv);
  const TempDir& work() const { return work_; }
  void setRoot(std::filesystem::path root, std::u16string home) {
    root_ = std::move(root);
    home_ = std::move(home);
  }

 private:
  std::string name_;
  TempDir work_;
  std::filesystem::path root_;
  std::u16string home_ = u"/";
  int port_;
  std::u16string user_;
  std::u16string password_;
  std::unique_ptr<ServerProcess> process_;
};

}  // namespace skein10::test

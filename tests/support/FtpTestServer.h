#pragma once
// A real FTP server for a test suite: on 127.0.0.1 (or ::1), a free port, a
// temporary root folder the tests can fill and inspect, one account with
// write access; optionally FTP over TLS with the test certificates.

#include <filesystem>
#include <memory>
#include <string>

#include "ServerProcess.h"
#include "TempDir.h"

namespace skein10::test {

// How a test server is set up: its address and whether it speaks TLS.
struct FtpServerOptions {
  enum class Tls { None, Explicit, Implicit };
  std::string address = "127.0.0.1";
  Tls tls = Tls::None;
  bool tls12Only = false;  // TLS 1.2 at most
  std::filesystem::path certificate;  // empty: TestCertificates::shared().server()
};

class FtpTestServer {
 public:
  virtual ~FtpTestServer();
  FtpTestServer(const FtpTestServer&) = delete;
  FtpTestServer& operator=(const FtpTestServer&) = delete;

  const std::string& name() const { return name_; }
  int port() const { return port_; }
  // The address it listens on ("127.0.0.1", "::1").
  const std::string& address() const { return address_; }
  std::u16string portText() const;
  const std::u16string& user() const { return user_; }
  const std::u16string& password() const { return password_; }
  // The account's writable folder on disk, and its name on the server.
  const std::filesystem::path& root() const { return root_; }
  const std::u16string& home() const { return home_; }

 protected:
  FtpTestServer(std::string name, std::u16string user, std::u16string password);
  // Starts the program; it must listen on address() and port().
  void start(std::vector<std::string> argv, std::vector<std::string> environment = {});
  void setAddress(std::string address) { address_ = std::move(address); }
  const TempDir& work() const { return work_; }
  void setRoot(std::filesystem::path root, std::u16string home) {
    root_ = std::move(root);
    home_ = std::move(home);
  }

 private:
  std::string name_;
  std::string address_ = "127.0.0.1";
  TempDir work_;
  std::filesystem::path root_;
  std::u16string home_ = u"/";
  int port_;
  std::u16string user_;
  std::u16string password_;
  std::unique_ptr<ServerProcess> process_;
};

}  // namespace skein10::test

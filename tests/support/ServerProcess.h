#pragma once
// A server program run for the length of a test suite: started with its
// output going to a log file (and any extra NAME=value environment entries),
// ready once it accepts connections on its address and port (bounded), and
// stopped when the object goes.

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace skein10::test {

class ServerProcess {
 public:
  ServerProcess(std::vector<std::string> argv, int port, const std::filesystem::path& logFile,
                std::chrono::milliseconds startup = std::chrono::seconds(30), std::vector<std::string> environment = {},
                std::string address = "127.0.0.1");
  ~ServerProcess();
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

 private:
  void waitUntilAccepting(const std::string& address, int port, const std::filesystem::path& logFile,
                          std::chrono::milliseconds startup);
  void stop();

  int pid_ = -1;
};

}  // namespace skein10::test

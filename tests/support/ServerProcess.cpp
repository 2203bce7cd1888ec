#include "ServerProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "TestSocket.h"

namespace skein10::test {

namespace {

std::string contentOf(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

ServerProcess::ServerProcess(std::vector<std::string> argv, int port, const std::filesystem::path& logFile,
                             std::chrono::milliseconds startup, std::vector<std::string> environment,
                             std::string address) {
  std::vector<char*> args;
  for (std::string& a : argv) args.push_back(a.data());
  args.push_back(nullptr);
  std::vector<char*> env;
  for (char** e = environ; *e; ++e) env.push_back(*e);
  for (std::string& e : environment) env.push_back(e.data());
  env.push_back(nullptr);
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    int log = ::open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int none = ::open("/dev/null", O_RDONLY);
    ::dup2(none, 0);
    ::dup2(log, 1);
    ::dup2(log, 2);
    ::setpgid(0, 0);
    ::execve(args[0], args.data(), env.data());
    ::_exit(127);
  }
  ::setpgid(pid_, pid_);  // also here: stop() may signal the group before the child ran
  try {
    waitUntilAccepting(address, port, logFile, startup);
  } catch (...) {
    stop();
    throw;
  }
}

ServerProcess::~ServerProcess() { stop(); }

void ServerProcess::waitUntilAccepting(const std::string& address, int port, const std::filesystem::path& logFile,
                                       std::chrono::milliseconds startup) {
  auto deadline = std::chrono::steady_clock::now() + startup;
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      throw std::runtime_error("the server ended at start-up: " + contentOf(logFile));
    }
    try {
      TestSocket probe = TestSocket::connect(address, port);
      return;
    } catch (const std::runtime_error&) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  throw std::runtime_error("the server did not accept connections in time: " + contentOf(logFile));
}

void ServerProcess::stop() {
  if (pid_ <= 0) return;
  ::kill(-pid_, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ::kill(-pid_, SIGKILL);
  ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

}  // namespace skein10::test

#include "HostRun.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <stdexcept>

extern char** environ;

namespace skein10::test {
namespace {

// Both ends of a pipe, closed when the object goes.
// Or a pseudo-terminal: [0] the side the test reads, [1] the child's terminal.
struct Pipe {
  std::array<int, 2> fd{-1, -1};
  explicit Pipe(bool terminal = false) {
    const bool made = terminal ? openpty(&fd[0], &fd[1], nullptr, nullptr, nullptr) == 0
                               : pipe2(fd.data(), O_CLOEXEC) == 0;
    if (!made) throw std::runtime_error("pipe failed");
    if (terminal) {
      fcntl(fd[0], F_SETFD, FD_CLOEXEC);
      fcntl(fd[1], F_SETFD, FD_CLOEXEC);
    }
  }
  ~Pipe() {
    closeEnd(0);
    closeEnd(1);
  }
  void closeEnd(int end) {
    if (fd[end] >= 0) close(fd[end]);
    fd[end] = -1;
  }
};

std::vector<std::string> environmentWith(const std::map<std::string, std::string>& extra) {
  std::vector<std::string> entries;
  for (char** e = environ; *e; ++e) {
    const std::string entry(*e);
    if (!extra.contains(entry.substr(0, entry.find('=')))) entries.push_back(entry);
  }
  for (const auto& [name, value] : extra) entries.push_back(name + "=" + value);
  return entries;
}

std::vector<char*> pointers(std::vector<std::string>& words) {
  std::vector<char*> result;
  for (std::string& word : words) result.push_back(word.data());
  result.push_back(nullptr);
  return result;
}

// Reads both pipes until both are at their end or the deadline passes.
bool drain(Pipe& out, Pipe& err, HostResult& result, std::chrono::steady_clock::time_point deadline, pid_t pid,
           const std::function<bool()>& interruptWhen) {
  std::array<char, 65536> buffer{};
  bool interrupted = false;
  while (out.fd[0] >= 0 || err.fd[0] >= 0) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    if (interruptWhen && !interrupted) {
      if (interruptWhen()) {
        kill(pid, SIGINT);
        interrupted = true;
      }
      left = std::min(left, std::chrono::milliseconds(50));
    }
    std::array<pollfd, 2> fds{pollfd{out.fd[0], POLLIN, 0}, pollfd{err.fd[0], POLLIN, 0}};
    if (poll(fds.data(), fds.size(), static_cast<int>(left.count())) < 0) continue;
    std::array<std::pair<Pipe*, std::string*>, 2> streams{std::pair{&out, &result.out}, std::pair{&err, &result.err}};
    for (std::size_t i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      const ssize_t n = read(fds[i].fd, buffer.data(), buffer.size());
      if (n > 0) streams[i].second->append(buffer.data(), static_cast<std::size_t>(n));
      else streams[i].first->closeEnd(0);
    }
  }
  return true;
}

}  // namespace

HostResult runHostProgram(const std::vector<std::string>& args, const std::map<std::string, std::string>& environment,
                          bool errorOnTerminal, std::chrono::seconds limit, const std::string& input,
                          const std::function<bool()>& interruptWhen) {
  Pipe in, out, err(errorOnTerminal);
  if (input.size() > 65536) throw std::runtime_error("input beyond a pipe's buffer");
  if (!input.empty() && write(in.fd[1], input.data(), input.size()) != static_cast<ssize_t>(input.size()))
    throw std::runtime_error("input not written");
  in.closeEnd(1);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in.fd[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out.fd[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err.fd[1], 2);
  std::vector<std::string> argv{SKEIN10_HOST_PROGRAM};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<std::string> env = environmentWith(environment);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, pointers(argv).data(), pointers(env).data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start " + argv[0]);
  in.closeEnd(0);
  out.closeEnd(1);
  err.closeEnd(1);

  HostResult result;
  result.timedOut = !drain(out, err, result, std::chrono::steady_clock::now() + limit, pid, interruptWhen);
  if (result.timedOut) kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  if (!result.timedOut && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  return result;
}

}  // namespace skein10::test

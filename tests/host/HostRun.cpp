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
// `target` is what the interruption is sent to: the child, or its group.
bool drain(Pipe& out, Pipe& err, HostResult& result, std::chrono::steady_clock::time_point deadline, pid_t pid,
           pid_t target, const Interrupt& interrupt) {
  std::array<char, 65536> buffer{};
  bool interrupted = false;
  while (out.fd[0] >= 0 || err.fd[0] >= 0) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    if (interrupt.when && !interrupted) {
      if (interrupt.when(pid)) {
        kill(target, interrupt.signal);
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

struct ChildSetup {
  std::vector<std::string> argv;
  std::map<std::string, std::string> environment;
  bool errorOnTerminal = false;
  std::chrono::seconds limit;
  std::string input;
  bool ownGroup = false;  // a process group of its own, interrupted as a whole
};

HostResult runChild(ChildSetup setup, const Interrupt& interrupt) {
  Pipe in, out, err(setup.errorOnTerminal);
  if (setup.input.size() > 65536) throw std::runtime_error("input beyond a pipe's buffer");
  if (!setup.input.empty() &&
      write(in.fd[1], setup.input.data(), setup.input.size()) != static_cast<ssize_t>(setup.input.size()))
    throw std::runtime_error("input not written");
  in.closeEnd(1);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in.fd[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out.fd[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err.fd[1], 2);
  // The child starts with the signals' default actions and none blocked,
  // whatever the test process inherited (a background job ignores SIGINT).
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults, none;
  sigemptyset(&defaults);
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGQUIT}) sigaddset(&defaults, signal);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setsigmask(&attributes, &none);
  short flags = POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK;
  if (setup.ownGroup) {
    flags |= POSIX_SPAWN_SETPGROUP;
    posix_spawnattr_setpgroup(&attributes, 0);
  }
  posix_spawnattr_setflags(&attributes, flags);
  std::vector<std::string> env = environmentWith(setup.environment);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, setup.argv[0].c_str(), &actions, &attributes, pointers(setup.argv).data(),
                                  pointers(env).data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (spawned != 0) throw std::runtime_error("cannot start " + setup.argv[0]);
  in.closeEnd(0);
  out.closeEnd(1);
  err.closeEnd(1);

  HostResult result;
  const pid_t target = setup.ownGroup ? -pid : pid;
  result.timedOut =
      !drain(out, err, result, std::chrono::steady_clock::now() + setup.limit, pid, target, interrupt);
  if (result.timedOut) kill(target, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  if (!result.timedOut && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  if (!result.timedOut && WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

}  // namespace

HostResult runHostProgram(const std::vector<std::string>& args, const std::map<std::string, std::string>& environment,
                          bool errorOnTerminal, std::chrono::seconds limit, const std::string& input,
                          const Interrupt& interrupt) {
  std::vector<std::string> argv{SKEIN10_HOST_PROGRAM};
  argv.insert(argv.end(), args.begin(), args.end());
  return runChild({std::move(argv), environment, errorOnTerminal, limit, input, false}, interrupt);
}

HostResult runShell(const std::string& script, const std::map<std::string, std::string>& environment,
                    std::chrono::seconds limit, const Interrupt& interrupt) {
  std::map<std::string, std::string> env = environment;
  env["SKEIN10"] = SKEIN10_HOST_PROGRAM;
  return runChild({{"/bin/bash", "-c", script}, std::move(env), false, limit, {}, true}, interrupt);
}

}  // namespace skein10::test

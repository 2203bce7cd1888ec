#pragma once
// Runs the built `skein10` program (or a bash script around it) as a child
// process with extra environment variables, collecting how it ended and both
// outputs. Every run is bounded: a child still running at the deadline is
// killed and reported as such.

#include <sys/types.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace skein10::test {

struct HostResult {
  int exitCode = -1;  // -1 when the child was killed or did not exit normally
  int signal = 0;     // the signal that ended the child; 0 when it exited
  bool timedOut = false;
  std::string out;
  std::string err;
};

// When and how to interrupt the child: `signal` is sent once, as soon as
// `when(pid)` (asked every 50 ms with the child's process id) holds.
struct Interrupt {
  std::function<bool(pid_t)> when;
  int signal = SIGINT;
};

// With `errorOnTerminal`, standard error is a pseudo-terminal (and err holds
// what was written to it), as when a person runs the program. Standard input
// holds `input` (at most 64 KiB), or nothing.
HostResult runHostProgram(const std::vector<std::string>& args,
                          const std::map<std::string, std::string>& environment,
                          bool errorOnTerminal = false,
                          std::chrono::seconds limit = std::chrono::seconds(120),
                          const std::string& input = {},
                          const Interrupt& interrupt = {});

// `bash -c script` in a process group of its own, with $SKEIN10 naming the
// program; the interruption goes to the whole group, as a terminal's Ctrl-C
// does.
HostResult runShell(const std::string& script, const std::map<std::string, std::string>& environment,
                    std::chrono::seconds limit = std::chrono::seconds(120), const Interrupt& interrupt = {});

}  // namespace skein10::test

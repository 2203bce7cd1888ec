#pragma once
// Runs the built `skein10` program as a child process with extra environment
// variables, collecting its exit status and both outputs. Every run is bounded:
// a child still running at the deadline is killed and reported as such.

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace skein10::test {

struct HostResult {
  int exitCode = -1;  // -1 when the child was killed or did not exit normally
  bool timedOut = false;
  std::string out;
  std::string err;
};

// With `errorOnTerminal`, standard error is a pseudo-terminal (and err holds
// what was written to it), as when a person runs the program. Standard input
// holds `input` (at most 64 KiB), or nothing. The child gets one SIGINT as
// soon as `interruptWhen` (asked every 50 ms) holds.
HostResult runHostProgram(const std::vector<std::string>& args,
                          const std::map<std::string, std::string>& environment,
                          bool errorOnTerminal = false,
                          std::chrono::seconds limit = std::chrono::seconds(120),
                          const std::string& input = {},
                          const std::function<bool()>& interruptWhen = {});

}  // namespace skein10::test

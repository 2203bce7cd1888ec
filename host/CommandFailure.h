#pragma once
// A command that failed in a way the host explains itself: the line printed
// after "skein10: " and the exit status it ends with.

#include <stdexcept>
#include <string>

namespace skein10::host {

class CommandFailure : public std::runtime_error {
 public:
  CommandFailure(int exitCode, const std::string& message) : std::runtime_error(message), exitCode_(exitCode) {}
  int exitCode() const noexcept { return exitCode_; }

 private:
  int exitCode_;
};

}  // namespace skein10::host

#pragma once
// A command that failed in a way the host explains itself: the line printed
// after "skein10: ", and the exit status it ends with, or the signal it ends
// by (an interrupted session ends by the signal that interrupted it).

#include <stdexcept>
#include <string>

namespace skein10::host {

class CommandFailure : public std::runtime_error {
 public:
  CommandFailure(int exitCode, const std::string& message, int signal = 0)
      : std::runtime_error(message), exitCode_(exitCode), signal_(signal) {}
  int exitCode() const noexcept { return exitCode_; }
  // 0 unless the program ends by this signal after printing the line.
  int signal() const noexcept { return signal_; }

 private:
  int exitCode_;
  int signal_;
};

}  // namespace skein10::host

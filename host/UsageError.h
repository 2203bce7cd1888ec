#pragma once
// A mistake in how the command line was written: the host prints the
// command's usage with the message and exits 2.

#include <stdexcept>
#include <string>

namespace skein10::host {

class UsageError : public std::runtime_error {
 public:
  explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace skein10::host

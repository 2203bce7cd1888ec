#include "host/CommandLine.h"

#include "host/UsageError.h"

namespace skein10::host {

const std::string& CommandLine::peek() const {
  static const std::string none;
  return empty() ? none : words_[next_];
}

bool CommandLine::atOption() {
  if (peek() == "--") {
    ++next_;
    return false;
  }
  return peek().size() > 1 && peek().front() == '-';
}

std::string CommandLine::take(const std::string& what) {
  if (empty()) throw UsageError("missing " + what);
  return words_[next_++];
}

std::string CommandLine::takeValue(const std::string& option) {
  return take("value of " + option);
}

void CommandLine::expectEnd() const {
  if (!empty()) throw UsageError("unexpected argument '" + peek() + "'");
}

}  // namespace skein10::host

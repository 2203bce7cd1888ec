#include "host/ProgressLine.h"

#include "host/ProgressFormat.h"

namespace skein10::host {
namespace {

// Back to the start of the line, then clear to its end.
constexpr char kRewind[] = "\r\x1b[K";

IoCounter::Direction directionOf(Traffic traffic) {
  return traffic == Traffic::Upload ? IoCounter::Direction::Read : IoCounter::Direction::Written;
}

}  // namespace

ProgressLine::ProgressLine(std::string step, Traffic traffic, std::FILE* terminal)
    : step_(std::move(step)), terminal_(terminal), counter_(directionOf(traffic)) {
  timer_.onTimer = [this] { draw(); };
  timer_.setInterval(kRedrawMilliseconds);
  timer_.setEnabled(true);
}

ProgressLine::~ProgressLine() {
  timer_.setEnabled(false);
  write(kRewind);
}

void ProgressLine::draw() {
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_);
  write(kRewind + formatProgress(step_, counter_.moved(), elapsed));
}

void ProgressLine::write(const std::string& text) {
  const std::size_t written = std::fwrite(text.data(), 1, text.size(), terminal_);
  std::fflush(terminal_);
  counter_.ownWrite(written);
}

}  // namespace skein10::host

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

ProgressLine::ProgressLine(std::string step, Traffic traffic, std::FILE* out, ProgressStyle style,
                           std::function<std::optional<uint64_t>()> total)
    : step_(std::move(step)), out_(out), style_(style), total_(std::move(total)), counter_(directionOf(traffic)) {
  timer_.onTimer = [this] { draw(); };
  timer_.setInterval(style == ProgressStyle::Terminal ? kRedrawMilliseconds : kLineMilliseconds);
  timer_.setEnabled(true);
}

ProgressLine::~ProgressLine() {
  timer_.setEnabled(false);
  if (style_ == ProgressStyle::Terminal) write(kRewind);
}

std::chrono::milliseconds ProgressLine::elapsed() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_);
}

std::string ProgressLine::update(const std::string& text) const {
  return style_ == ProgressStyle::Terminal ? kRewind + text : text + "\n";
}

void ProgressLine::draw() {
  write(update(formatProgress(step_, counter_.moved(), elapsed(), total_ ? total_() : std::nullopt)));
}

void ProgressLine::finish(const std::string& stepText, uint64_t bytes) {
  timer_.setEnabled(false);
  const std::string summary = formatSummary(stepText, bytes, elapsed());
  write(style_ == ProgressStyle::Terminal ? kRewind + summary + "\n" : summary + "\n");
}

void ProgressLine::write(const std::string& text) {
  const std::size_t written = std::fwrite(text.data(), 1, text.size(), out_);
  std::fflush(out_);
  counter_.ownWrite(written);
}

}  // namespace skein10::host

#include "host/IoCounter.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace skein10::host {
namespace {

uint64_t field(std::string_view text, std::string_view name) {
  const auto at = text.find(name);
  if (at == std::string_view::npos) return 0;
  const char* begin = text.data() + at + name.size();
  while (begin < text.data() + text.size() && *begin == ' ') ++begin;
  uint64_t value = 0;
  std::from_chars(begin, text.data() + text.size(), value);
  return value;
}

}  // namespace

IoCounter::IoCounter(Direction direction) : direction_(direction), start_(0) { start_ = sample(); }

// The value read does not hold the read that fetched it: that one shows in
// the next sample, so it joins own_ only after this sample is used.
uint64_t IoCounter::sample() {
  own_ += lastRead_;
  std::ifstream file("/proc/self/io");
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  lastRead_ = direction_ == Direction::Read ? text.size() : 0;
  return field(text, direction_ == Direction::Read ? "rchar:" : "wchar:");
}

uint64_t IoCounter::moved() {
  const uint64_t counted = sample() - start_;
  return counted > own_ ? counted - own_ : 0;
}

}  // namespace skein10::host

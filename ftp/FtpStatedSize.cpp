#include "ftp/FtpStatedSize.h"

namespace skein10 {

namespace {
constexpr StringView kUnit = u" bytes)";
constexpr std::size_t kMaxDigits = 19;  // every such number fits in 64 bits
}  // namespace

std::optional<uint64_t> FtpStatedSize::parse(StringView reply) {
  const std::size_t unit = reply.rfind(kUnit);
  if (unit == StringView::npos) return std::nullopt;
  std::size_t first = unit;
  while (first > 0 && unit - first < kMaxDigits && reply[first - 1] >= u'0' && reply[first - 1] <= u'9') --first;
  if (first == unit || first == 0 || reply[first - 1] != u'(') return std::nullopt;
  uint64_t size = 0;
  for (char16_t digit : reply.substr(first, unit - first)) size = size * 10 + static_cast<uint64_t>(digit - u'0');
  return size;
}

}  // namespace skein10

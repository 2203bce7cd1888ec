#include "host/FtpLog.h"

#include <charconv>

namespace skein10::host {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isFinalReplyLine(std::string_view line) {
  return line.size() >= 3 && isDigit(line[0]) && isDigit(line[1]) && isDigit(line[2]) &&
         (line.size() == 3 || line[3] == ' ');
}

}  // namespace

std::optional<std::string> lastReplyLine(std::string_view log) {
  std::size_t end = log.rfind('\n');
  while (end != std::string_view::npos) {
    const std::size_t begin = end == 0 ? std::string_view::npos : log.rfind('\n', end - 1);
    const std::size_t from = begin == std::string_view::npos ? 0 : begin + 1;
    std::string_view line = log.substr(from, end - from);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (isFinalReplyLine(line)) return std::string(line);
    end = begin;
  }
  return std::nullopt;
}

std::optional<int> replyCode(std::string_view line) {
  if (line.size() < 3 || !isDigit(line[0]) || !isDigit(line[1]) || !isDigit(line[2])) return std::nullopt;
  return (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
}

std::optional<uint64_t> announcedSize(std::string_view line) {
  if (replyCode(line) != 150) return std::nullopt;
  const std::size_t close = line.rfind(" bytes)");
  if (close == std::string_view::npos) return std::nullopt;
  const std::size_t open = line.rfind('(', close);
  if (open == std::string_view::npos) return std::nullopt;
  uint64_t size = 0;
  const auto [end, error] = std::from_chars(line.data() + open + 1, line.data() + close, size);
  if (error != std::errc() || end != line.data() + close) return std::nullopt;
  return size;
}

}  // namespace skein10::host

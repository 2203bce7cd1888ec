#include "host/ProgressFormat.h"

#include <array>
#include <cstdio>

namespace skein10::host {

std::string formatBytes(uint64_t bytes) {
  static constexpr std::array<const char*, 5> kUnits{"KiB", "MiB", "GiB", "TiB", "PiB"};
  if (bytes < 1024) return std::to_string(bytes) + " B";
  double value = static_cast<double>(bytes) / 1024;
  std::size_t unit = 0;
  while (value >= 1024 && unit + 1 < kUnits.size()) {
    value /= 1024;
    ++unit;
  }
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%.1f %s", value, kUnits[unit]);
  return text.data();
}

namespace {

uint64_t millisecondsOf(std::chrono::milliseconds elapsed) {
  return static_cast<uint64_t>(elapsed.count() > 0 ? elapsed.count() : 0);
}

std::string rateOf(uint64_t bytes, uint64_t ms) { return formatBytes(ms > 0 ? bytes * 1000 / ms : 0) + "/s"; }

std::string clockOf(uint64_t ms) {
  const uint64_t seconds = ms / 1000;
  std::array<char, 32> clock{};
  std::snprintf(clock.data(), clock.size(), "%llu:%02llu", static_cast<unsigned long long>(seconds / 60),
                static_cast<unsigned long long>(seconds % 60));
  return clock.data();
}

std::string share(uint64_t bytes, uint64_t total) {
  const uint64_t percent = total == 0 ? 100 : (bytes >= total ? 100 : bytes * 100 / total);
  return " of " + formatBytes(total) + "  " + std::to_string(percent) + "%";
}

}  // namespace

std::string formatProgress(std::string_view step, uint64_t bytes, std::chrono::milliseconds elapsed,
                           std::optional<uint64_t> total) {
  const uint64_t ms = millisecondsOf(elapsed);
  std::string line(step);
  line += "  ";
  line += formatBytes(bytes);
  if (total) line += share(bytes, *total);
  line += "  ";
  line += rateOf(bytes, ms);
  line += "  ";
  line += clockOf(ms);
  return line;
}

std::string formatSummary(std::string_view step, uint64_t bytes, std::chrono::milliseconds elapsed) {
  const uint64_t ms = millisecondsOf(elapsed);
  std::string line(step);
  line += ": ";
  line += formatBytes(bytes);
  line += " in ";
  line += clockOf(ms);
  line += " (";
  line += rateOf(bytes, ms);
  line += ")";
  return line;
}

}  // namespace skein10::host

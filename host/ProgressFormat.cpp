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

std::string formatProgress(std::string_view step, uint64_t bytes, std::chrono::milliseconds elapsed) {
  const auto ms = static_cast<uint64_t>(elapsed.count() > 0 ? elapsed.count() : 0);
  const uint64_t rate = ms > 0 ? bytes * 1000 / ms : 0;
  const uint64_t seconds = ms / 1000;
  std::array<char, 32> clock{};
  std::snprintf(clock.data(), clock.size(), "%llu:%02llu", static_cast<unsigned long long>(seconds / 60),
                static_cast<unsigned long long>(seconds % 60));
  return std::string(step) + "  " + formatBytes(bytes) + "  " + formatBytes(rate) + "/s  " + clock.data();
}

}  // namespace skein10::host

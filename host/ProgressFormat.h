#pragma once
// The text of the progress line: bytes moved, rate and elapsed time.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace skein10::host {

// "1.5 KiB", "512 B": binary units with one decimal above 1 KiB.
std::string formatBytes(uint64_t bytes);

// "get  1.5 MiB  750.0 KiB/s  0:02"; the rate is 0 before any time passed.
// With a known total: "get  1.5 MiB of 3.0 MiB  50%  750.0 KiB/s  0:02".
std::string formatProgress(std::string_view step, uint64_t bytes, std::chrono::milliseconds elapsed,
                           std::optional<uint64_t> total = std::nullopt);

// The line that stays after a transfer: "get big.bin out.bin: 3.0 MiB in 0:02 (1.5 MiB/s)".
std::string formatSummary(std::string_view step, uint64_t bytes, std::chrono::milliseconds elapsed);

}  // namespace skein10::host

#pragma once
// The system's message texts for its error codes.

#include <cstdint>
#include <span>
#include "platform/Export.h"

namespace skein10::os {

inline constexpr uint32_t FORMAT_MESSAGE_IGNORE_INSERTS = 0x0200;
inline constexpr uint32_t FORMAT_MESSAGE_FROM_SYSTEM = 0x1000;

class SKEIN10_INTERNAL_API SystemMessages {
 public:
  virtual ~SystemMessages() = default;
  // Stores the text for `code` (ended by CR LF) and a NUL in the buffer,
  // which holds `size` bytes, and returns the count of bytes stored without
  // the NUL. 0 when there is no text for the code, it doesn't fit, or flags
  // other than FROM_SYSTEM with IGNORE_INSERTS are asked for; the buffer is
  // then unchanged.
  virtual uint32_t FormatMessageA(uint32_t flags, uint32_t code, uint32_t language,
                                  std::span<char> buffer, uint32_t size) const = 0;
};

}  // namespace skein10::os

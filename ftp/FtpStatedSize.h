#pragma once
// The size a server states for a transfer in its 1xx reply, as in
// "150 Opening BINARY mode data connection for f (1234 bytes).".

#include <cstdint>
#include <optional>

#include "skein10/String.h"

namespace skein10 {

class FtpStatedSize {
 public:
  // The number N of the reply's last "(N bytes)": one to 19 decimal digits,
  // nothing else between the parentheses but the one space before "bytes".
  // Nothing when the reply states no size that way.
  static std::optional<uint64_t> parse(StringView reply);
};

}  // namespace skein10

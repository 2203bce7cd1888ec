#pragma once
// The errors the FTP session raises.

#include "skein10/Error.h"

namespace skein10 {

inline constexpr char16_t kFtpErrorSource[] = u"FTP Command";

class FtpError {
 public:
  // The session error: number 8, the server's outcome as description.
  static Error session(String reason);
  // A call the session refuses before it sends anything: number 5.
  static Error invalidCall(String description);
};

}  // namespace skein10

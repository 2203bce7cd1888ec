#include "ftp/FtpError.h"

namespace skein10 {

namespace {
constexpr int32_t kSessionErrorNumber = 8;
}

Error FtpError::session(String reason) { return Error(kSessionErrorNumber, kFtpErrorSource, std::move(reason)); }

Error FtpError::invalidCall(String description) {
  return Error(errc::InvalidCall, kFtpErrorSource, std::move(description));
}

}  // namespace skein10

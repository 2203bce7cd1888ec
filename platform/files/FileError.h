#pragma once
// The runtime's file errors for a failed system call.

#include <cstdint>

#include "skein10/Error.h"
#include "platform/Export.h"

namespace skein10::files {

inline constexpr int32_t kBadFileMode = errc::BadFileMode;
inline constexpr int32_t kFileAlreadyOpen = errc::FileAlreadyOpen;
inline constexpr int32_t kTooManyFiles = errc::TooManyFiles;

// The error for `number`, with the runtime's text.
SKEIN10_INTERNAL_API Error fileError(int32_t number);

// The error for errno `code` of a call on `path`; `opening` tells a missing
// file (53) from a missing folder (76).
SKEIN10_INTERNAL_API Error fileError(int code, const char* path, bool opening);

}  // namespace skein10::files

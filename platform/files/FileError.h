#pragma once
// The runtime's file errors for a failed system call.

#include <cstdint>

#include "skein10/Error.h"
#include "platform/Export.h"

namespace skein10::files {

inline constexpr int32_t kBadFileMode = 54;
inline constexpr int32_t kFileAlreadyOpen = 55;
inline constexpr int32_t kFileAlreadyExists = 58;
inline constexpr int32_t kTooManyFiles = 67;

// The error for `number`, with the runtime's text (also for the numbers the
// runtime's table leaves to this module).
SKEIN10_INTERNAL_API Error fileError(int32_t number);

// The error for errno `code` of a call on `path`; `opening` tells a missing
// file (53) from a missing folder (76).
SKEIN10_INTERNAL_API Error fileError(int code, const char* path, bool opening);

}  // namespace skein10::files

#pragma once
// The calling thread's last system error code, as the stand-ins leave it
// (the code a host reads right after a failed system call).

#include <cstdint>
#include "platform/Export.h"

namespace skein10::os {

// The system error codes the stand-ins produce.
inline constexpr uint32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr uint32_t ERROR_PATH_NOT_FOUND = 3;
inline constexpr uint32_t ERROR_ACCESS_DENIED = 5;
inline constexpr uint32_t ERROR_INVALID_PARAMETER = 87;
inline constexpr uint32_t ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr uint32_t ERROR_NO_MORE_FILES = 18;
inline constexpr uint32_t ERROR_MR_MID_NOT_FOUND = 317;

SKEIN10_INTERNAL_API uint32_t GetLastError() noexcept;
SKEIN10_INTERNAL_API void SetLastError(uint32_t code) noexcept;

}  // namespace skein10::os

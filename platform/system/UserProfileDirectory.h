#pragma once
// The profile folder query in its buffer protocol: the caller hands a
// buffer and a size (capacity in bytes, the terminating NUL included).

#include <cstdint>
#include <span>

#include "platform/system/UserAccounts.h"
#include "platform/Export.h"

namespace skein10::os {

// On success the buffer holds the folder followed by NUL, *size is the count
// of bytes stored (NUL included) and the result is true. When the folder is
// unknown or needs more than *size bytes with its NUL, the buffer is left as
// it was, *size becomes the size needed (0 when unknown), the thread's last
// error says why (2 or 122) and the result is false. Only the first
// min(*size, buffer.size()) bytes are ever written.
SKEIN10_INTERNAL_API bool GetUserProfileDirectoryA(const UserAccounts& accounts, std::span<char> buffer,
                              uint32_t* size);

}  // namespace skein10::os

#include "platform/system/UserProfileDirectory.h"

#include <algorithm>

#include "platform/system/LastError.h"

namespace skein10::os {

bool GetUserProfileDirectoryA(const UserAccounts& accounts, std::span<char> buffer,
                              uint32_t* size) {
  const std::optional<std::string> folder = accounts.homeOfEffectiveUser();
  if (!folder) {
    *size = 0;
    SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
  }
  const std::size_t needed = folder->size() + 1;
  const std::size_t capacity = std::min<std::size_t>(*size, buffer.size());
  if (needed > capacity) {
    *size = static_cast<uint32_t>(std::min<std::size_t>(needed, UINT32_MAX));
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return false;
  }
  std::copy(folder->begin(), folder->end(), buffer.begin());
  buffer[folder->size()] = '\0';
  *size = static_cast<uint32_t>(needed);
  return true;
}

}  // namespace skein10::os

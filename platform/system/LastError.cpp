#include "platform/system/LastError.h"

namespace skein10::os {
namespace {
thread_local uint32_t lastError = 0;
}

uint32_t GetLastError() noexcept { return lastError; }
void SetLastError(uint32_t code) noexcept { lastError = code; }

}  // namespace skein10::os

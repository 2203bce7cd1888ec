#include "platform/system/MessageTable.h"

#include <algorithm>
#include <string_view>

#include "platform/system/LastError.h"

namespace skein10::os {
namespace {

struct Message {
  uint32_t code;
  std::string_view text;
};

constexpr Message kMessages[] = {
    {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified.\r\n"},
    {ERROR_PATH_NOT_FOUND, "The system cannot find the path specified.\r\n"},
    {ERROR_ACCESS_DENIED, "Access is denied.\r\n"},
    {ERROR_INVALID_PARAMETER, "The parameter is incorrect.\r\n"},
    {ERROR_INSUFFICIENT_BUFFER, "The data area passed to a system call is too small.\r\n"},
};

constexpr uint32_t kSupportedFlags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;

uint32_t fail(uint32_t error) {
  SetLastError(error);
  return 0;
}

}  // namespace

uint32_t MessageTable::FormatMessageA(uint32_t flags, uint32_t code, uint32_t /*language*/,
                                      std::span<char> buffer, uint32_t size) const {
  if (flags != kSupportedFlags) return fail(ERROR_INVALID_PARAMETER);
  const auto* message = std::find_if(std::begin(kMessages), std::end(kMessages),
                                     [&](const Message& m) { return m.code == code; });
  if (message == std::end(kMessages)) return fail(ERROR_MR_MID_NOT_FOUND);
  const std::size_t capacity = std::min<std::size_t>(size, buffer.size());
  if (message->text.size() + 1 > capacity) return fail(ERROR_INSUFFICIENT_BUFFER);
  std::copy(message->text.begin(), message->text.end(), buffer.begin());
  buffer[message->text.size()] = '\0';
  return static_cast<uint32_t>(message->text.size());
}

}  // namespace skein10::os

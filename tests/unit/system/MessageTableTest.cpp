#include <gtest/gtest.h>

#include <array>

#include "platform/system/LastError.h"
#include "platform/system/MessageTable.h"

using namespace skein10::os;

namespace {

constexpr uint32_t kFlags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;

std::string format(uint32_t code, uint32_t size = 256, uint32_t flags = kFlags) {
  std::array<char, 256> buffer{};
  const uint32_t n = MessageTable().FormatMessageA(flags, code, 0, buffer, size);
  EXPECT_EQ(std::string(buffer.data()).size(), n) << "count and NUL disagree";
  return std::string(buffer.data(), n);
}

TEST(MessageTable, TextsOfTheSystemEndedByCrLf) {
  EXPECT_EQ(format(2), "The system cannot find the file specified.\r\n");
  EXPECT_EQ(format(3), "The system cannot find the path specified.\r\n");
  EXPECT_EQ(format(5), "Access is denied.\r\n");
  EXPECT_EQ(format(87), "The parameter is incorrect.\r\n");
  EXPECT_EQ(format(122), "The data area passed to a system call is too small.\r\n");
}

TEST(MessageTable, NoTextGivesZeroCharacters) {
  for (uint32_t code : {0u, 1u, 4u, 18u, 26721u, 0xFFFFFFFFu}) EXPECT_EQ(format(code), "") << code;
  EXPECT_EQ(format(5, 256, FORMAT_MESSAGE_FROM_SYSTEM), "");  // inserts would be expanded
}

// "Access is denied.\r\n" is 19 bytes: it needs a size of 20 for its NUL.
TEST(MessageTable, TextMustFitWithItsNul) {
  EXPECT_EQ(format(5, 20), "Access is denied.\r\n");
  SetLastError(0);
  EXPECT_EQ(format(5, 19), "");
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
}

}  // namespace

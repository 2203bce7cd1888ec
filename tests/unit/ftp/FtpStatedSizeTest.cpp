#include <gtest/gtest.h>

#include <optional>

#include "ftp/FtpStatedSize.h"

namespace skein10 {
namespace {

TEST(FtpStatedSize, ReadsTheLastParenthesisedByteCount) {
  const std::pair<const char16_t*, std::optional<uint64_t>> cases[] = {
      {u"150 Opening BINARY mode data connection for f.bin (20971520 bytes).", 20971520},
      {u"150 Opening BINARY mode data connection for f.bin (0 bytes)", 0},
      {u"150 (1 bytes) then (22 bytes).", 22},
      {u"150 Opening (9999999999999999999 bytes).", 9999999999999999999ull},
      {u"150 Here comes the directory listing.", std::nullopt},
      {u"150 Opening (12 bytes", std::nullopt},
      {u"150 Opening ( 12 bytes).", std::nullopt},
      {u"150 Opening (12  bytes).", std::nullopt},
      {u"150 Opening (-12 bytes).", std::nullopt},
      {u"150 Opening (1,024 bytes).", std::nullopt},
      {u"150 Opening ( bytes).", std::nullopt},
      {u"150 Opening (18446744073709551616 bytes).", std::nullopt},  // 20 digits
      {u"12 bytes)", std::nullopt},
      {u"", std::nullopt},
  };
  for (const auto& [reply, size] : cases) {
    EXPECT_EQ(FtpStatedSize::parse(reply), size) << toUtf8(reply);
  }
}

}  // namespace
}  // namespace skein10

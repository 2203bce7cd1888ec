#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <array>
#include <string>

#include "platform/system/LastError.h"
#include "platform/system/PasswdAccounts.h"
#include "platform/system/UserProfileDirectory.h"
#include "unit/system/FakeAccounts.h"
#include "ScopedEnvironment.h"

using namespace skein10;
using namespace skein10::os;
using skein10::test::FakeAccounts;

namespace {

std::string pathOfLength(std::size_t n) {
  std::string path = "/";
  while (path.size() < n) path += "abcdefghi/"[path.size() % 10];
  return path.substr(0, n);
}

// The 255-byte buffer protocol: a folder comes back whole when it fits with
// its NUL; otherwise the buffer stays all NUL and the size says what is needed.
TEST(UserProfileDirectory, BufferProtocol) {
  struct Case {
    std::optional<std::size_t> length;  // nothing: the account is unknown
    uint32_t size;
    bool ok;
    uint32_t sizeAfter;
    uint32_t lastError;
  };
  const Case cases[] = {
      {1, 255, true, 2, 0},       {254, 255, true, 255, 0},
      {255, 255, false, 256, ERROR_INSUFFICIENT_BUFFER},
      {400, 255, false, 401, ERROR_INSUFFICIENT_BUFFER},
      {20, 10, false, 21, ERROR_INSUFFICIENT_BUFFER},  // the size, not the buffer, bounds it
      {std::nullopt, 255, false, 0, ERROR_FILE_NOT_FOUND},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length ? std::to_string(*c.length) : "unknown");
    const std::optional<std::string> home =
        c.length ? std::optional(pathOfLength(*c.length)) : std::nullopt;
    std::array<char, 255> buffer{};
    uint32_t size = c.size;
    SetLastError(0);
    EXPECT_EQ(GetUserProfileDirectoryA(FakeAccounts(home), buffer, &size), c.ok);
    EXPECT_EQ(size, c.sizeAfter);
    EXPECT_EQ(GetLastError(), c.lastError);
    if (c.ok) {
      EXPECT_EQ(std::string(buffer.data()), *home);
    } else {
      EXPECT_EQ(buffer, (std::array<char, 255>{}));
    }
  }
}

TEST(PasswdAccounts, HomeComesFromTheAccountDatabaseNotFromHome) {
  const passwd* account = getpwuid(geteuid());
  ASSERT_NE(account, nullptr);
  skein10::test::ScopedEnvironment home("HOME", "/nowhere/else");
  EXPECT_EQ(PasswdAccounts().homeOfEffectiveUser(), std::string(account->pw_dir));
}

}  // namespace

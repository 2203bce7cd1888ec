#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/system/DirectorySearch.h"
#include "platform/system/LastError.h"
#include "TempDir.h"

using namespace skein10::os;
using skein10::test::TempDir;
using ::testing::UnorderedElementsAre;

namespace {

// Every name a search reports, or nothing when it can't start.
std::optional<std::vector<std::string>> listing(const std::string& pattern) {
  DirectorySearch search;
  FindData record;
  auto handle = search.FindFirstFileA(pattern, &record);
  if (!handle) return std::nullopt;
  std::vector<std::string> names{record.cFileName};
  for (int i = 0; i < 10000 && handle->FindNextFileA(&record); ++i) names.push_back(record.cFileName);
  EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
  return names;
}

class DirectorySearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder.file("Profile/Cookies/index.dat", "x");
    folder.folder("Profile/Cookies/Low");
  }
  TempDir folder;
};

// "\" separates folders anywhere in the pattern, as "/" does.
TEST_F(DirectorySearchTest, ListsEveryEntryWithEitherSeparator) {
  const std::string root = folder.path().string();
  for (const std::string& pattern :
       {root + "/Profile/Cookies/*", root + "\\Profile\\Cookies\\*", root + "/Profile\\Cookies/*",
        root + "/Profile/Cookies\\*"}) {
    SCOPED_TRACE(pattern);
    EXPECT_THAT(listing(pattern), ::testing::Optional(UnorderedElementsAre(".", "..", "index.dat", "Low")));
  }
}

TEST_F(DirectorySearchTest, FailsLikeTheInvalidHandle) {
  struct Case {
    std::string pattern;
    uint32_t lastError;
  };
  const std::string root = folder.path().string();
  const Case cases[] = {
      {root + "\\Missing\\*", ERROR_PATH_NOT_FOUND},
      {root + "\\Profile\\Cookies\\index.dat\\*", ERROR_PATH_NOT_FOUND},  // a file, not a folder
      {root + "\\Profile\\Cookies", ERROR_INVALID_PARAMETER},
      {root + "\\Profile\\Cookies\\*.txt", ERROR_INVALID_PARAMETER},
      {"", ERROR_INVALID_PARAMETER},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    SetLastError(0);
    EXPECT_EQ(listing(c.pattern), std::nullopt);
    EXPECT_EQ(GetLastError(), c.lastError);
  }
}

TEST(DirectorySearchPattern, NamesTheFolder) {
  EXPECT_EQ(DirectorySearch::folderOf("\\*"), "/");
  EXPECT_EQ(DirectorySearch::folderOf("/home/u\\Cookies\\*"), "/home/u/Cookies/");
  EXPECT_EQ(DirectorySearch::folderOf("*"), std::nullopt);
}

}  // namespace

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "unit/browserdata/BrowserDataFixture.h"

using namespace skein10;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

class CookiesFiles : public skein10::test::BrowserDataFixture {
 protected:
  std::filesystem::path cookies() const { return folder / "Profile" / "Cookies"; }
  // The names of the cookies folder as the file system orders them, without
  // "." and "..".
  std::vector<String> namesOnDisk() const {
    std::vector<String> names;
    for (const auto& entry : std::filesystem::directory_iterator(cookies()))
      names.push_back(fromUtf8(entry.path().filename().string()));
    return names;
  }
  Ref<Collection> list(const ObjectRef& cache) const {
    call(*cache, u"GetCookiesFiles");
    return collection(cache, u"colCookiesFiles");
  }
};

TEST_F(CookiesFiles, ListsFilesAndFoldersByNameInTheFileSystemsOrder) {
  folder.file("Profile/Cookies/user@example.test.txt", "cookie");
  folder.folder("Profile/Cookies/Low");
  folder.file("Profile/Cookies/.hidden");
  const Ref<Collection> names = list(create());
  EXPECT_THAT(texts(*names), ElementsAreArray(namesOnDisk()));
  EXPECT_EQ(names->count(), 3);
  for (const String& name : namesOnDisk()) EXPECT_EQ(names->item(Variant(name)).toString(), name);
  EXPECT_TRUE(reports.reports().empty());
}

TEST_F(CookiesFiles, EmptyOrMissingFolderAddsAndReportsNothing) {
  for (const bool exists : {true, false}) {
    SCOPED_TRACE(exists ? "empty" : "missing");
    if (exists) folder.folder("Profile/Cookies");
    else std::filesystem::remove_all(cookies());
    EXPECT_EQ(list(create())->count(), 0);
  }
  EXPECT_TRUE(reports.reports().empty());
}

// The collection is never cleared: a second listing reports every name it
// already holds, once each, and appends only what is new.
TEST_F(CookiesFiles, SecondListingReportsEachKnownNameAndAppendsNewOnes) {
  folder.file("Profile/Cookies/a.txt");
  folder.file("Profile/Cookies/b.txt");
  ObjectRef cache = create();
  list(cache);
  folder.file("Profile/Cookies/c.txt");
  const Ref<Collection> names = list(cache);
  EXPECT_THAT(reports.numbers(), ElementsAre(457, 457));
  EXPECT_THAT(reports.locations(), Each(String(u"czInetURLCache.GetCookiesFiles")));
  ASSERT_EQ(names->count(), 3);
  EXPECT_EQ(names->item(Variant(int32_t{3})).toString(), u"c.txt");
}

TEST_F(CookiesFiles, NamesDifferingOnlyInCaseShareOneKey) {
  folder.file("Profile/Cookies/Session");
  folder.file("Profile/Cookies/session");
  EXPECT_EQ(list(create())->count(), 1);
  EXPECT_THAT(reports.numbers(), ElementsAre(457));
}

// A folder search that records its patterns and finds nothing.
class RecordingSearch final : public os::FolderSearch {
 public:
  std::unique_ptr<os::FolderSearchHandle> FindFirstFileA(const std::string& pattern,
                                                         os::FindData*) override {
    patterns.push_back(pattern);
    return nullptr;
  }
  std::vector<std::string> patterns;
};

// Without a second item there is no cookies folder: the read is reported and
// the search goes on with an empty folder.
TEST_F(CookiesFiles, WithoutTheCookiesItemTheSearchRunsOnAnEmptyFolder) {
  auto recording = std::make_shared<RecordingSearch>();
  search = recording;
  ObjectRef cache = create();
  const Ref<Collection> one = makeRef<Collection>();
  one->add(Variant(u"only"), String(u"UserProfileDir"));
  assign(*cache, u"colUserInformation", ObjectRef(one), InvokeKind::Set);
  check(typed(cache).GetCookiesFiles());
  EXPECT_THAT(reports.numbers(), ElementsAre(errc::InvalidCall));
  EXPECT_THAT(reports.locations(), ElementsAre(u"czInetURLCache.GetCookiesFiles"));
  EXPECT_THAT(recording->patterns, ElementsAre("\\*"));
}

TEST_F(CookiesFiles, SearchPatternIsTheCookiesFolderAndBackslashStar) {
  auto recording = std::make_shared<RecordingSearch>();
  search = recording;
  check(typed(create()).GetCookiesFiles());
  EXPECT_THAT(recording->patterns, ElementsAre(profile + "\\Cookies\\*"));
}

}  // namespace

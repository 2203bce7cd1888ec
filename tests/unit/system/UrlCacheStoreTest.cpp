#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/system/LastError.h"
#include "platform/system/UrlCacheStore.h"
#include "skein10/Error.h"
#include "ScopedEnvironment.h"
#include "TempDir.h"

using namespace skein10;
using namespace skein10::os;
using skein10::test::ScopedEnvironment;
using skein10::test::TempDir;
using ::testing::ElementsAre;

namespace {

class UrlCacheStoreTest : public ::testing::Test {
 protected:
  TempDir folder;
  UrlCacheStore store{folder / "cache"};

  uint32_t sizeQuery(UrlCache& cache, const std::string& url) {
    uint32_t size = 0;
    SetLastError(0);
    EXPECT_FALSE(cache.GetUrlCacheEntryInfoA(url, &size));
    return GetLastError();
  }
};

TEST_F(UrlCacheStoreTest, EntriesAreKeyedByTheSha256OfTheExactText) {
  EXPECT_EQ(UrlCacheStore::keyOf("abc"),
            "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD");
  store.add("http://example.test/a");
  EXPECT_TRUE(std::filesystem::is_regular_file(folder / "cache" / UrlCacheStore::keyOf("http://example.test/a")));
}

// No normalisation: texts that a browser might call the same URL are
// different entries.
TEST_F(UrlCacheStoreTest, AddHasRemoveList) {
  const std::string urls[] = {"http://example.test/a", "HTTP://example.test/a",
                              "http://example.test/a/", "http://example.test/\xC3\xA4?q=1 2"};
  EXPECT_THAT(store.list(), ElementsAre());
  store.add(urls[0]);
  store.add(urls[3]);
  store.add(urls[0]);  // adding again keeps one entry
  EXPECT_TRUE(store.has(urls[0]));
  EXPECT_FALSE(store.has(urls[1]));
  EXPECT_FALSE(store.has(urls[2]));
  EXPECT_TRUE(store.has(urls[3]));
  EXPECT_THAT(store.list(), ElementsAre(urls[0], urls[3]));
  EXPECT_TRUE(store.remove(urls[0]));
  EXPECT_FALSE(store.remove(urls[0]));
  EXPECT_FALSE(store.has(urls[0]));
  EXPECT_THAT(store.list(), ElementsAre(urls[3]));
}

TEST_F(UrlCacheStoreTest, SizeQueryAnswers122WithAnEntry2WithoutAnd5WhenUnreadable) {
  store.add("http://example.test/cached");
  EXPECT_EQ(sizeQuery(store, "http://example.test/cached"), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(sizeQuery(store, "http://example.test/other"), ERROR_FILE_NOT_FOUND);
  UrlCacheStore missing(folder / "no" / "such" / "store");
  EXPECT_EQ(sizeQuery(missing, "http://example.test/cached"), ERROR_FILE_NOT_FOUND);
  // A store whose folder is a file can't be read (the tests may run as root,
  // who reads every folder, so this is the unreadable store they can build).
  UrlCacheStore unreadable(folder.file("not-a-folder", "x"));
  EXPECT_EQ(sizeQuery(unreadable, "http://example.test/cached"), ERROR_ACCESS_DENIED);
}

TEST_F(UrlCacheStoreTest, UnreadableStoreIsAnErrorForTheHostsOperations) {
  UrlCacheStore unreadable(folder.file("not-a-folder", "x"));
  for (const auto& operation : std::vector<std::function<void()>>{
           [&] { unreadable.add("u"); }, [&] { (void)unreadable.has("u"); },
           [&] { (void)unreadable.remove("u"); }, [&] { (void)unreadable.list(); }}) {
    try {
      operation();
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), errc::PathFileAccess);
    }
  }
}

TEST(UrlCacheStoreFolder, ComesFromTheEnvironment) {
  struct Case {
    const char* urlcache;
    const char* xdg;
    const char* home;
    std::string expected;
  };
  const Case cases[] = {
      {"/chosen/store", "/xdg", "/home/u", "/chosen/store"},
      {nullptr, "/xdg", "/home/u", "/xdg/skein10/urlcache"},
      {"", "", "/home/u", "/home/u/.cache/skein10/urlcache"},
      {nullptr, "relative/xdg", "/home/u", "/home/u/.cache/skein10/urlcache"},
      {nullptr, nullptr, "/home/v", "/home/v/.cache/skein10/urlcache"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    ScopedEnvironment urlcache("SKEIN10_URLCACHE", c.urlcache);
    ScopedEnvironment xdg("XDG_CACHE_HOME", c.xdg);
    ScopedEnvironment home("HOME", c.home);
    EXPECT_EQ(UrlCacheStore::defaultFolder(), c.expected);
  }
}

}  // namespace

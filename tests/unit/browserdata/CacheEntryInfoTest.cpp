#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>

#include "browserdata/basKvInetURLCacheA.h"
#include "unit/browserdata/BrowserDataFixture.h"

using namespace skein10;

namespace {

class CacheEntryInfo : public skein10::test::BrowserDataFixture {
 protected:
  static constexpr char16_t kCached[] = u"http://example.test/cached?page=1";
  static constexpr char16_t kOther[] = u"http://example.test/other";

  void SetUp() override { store->add(toUtf8(kCached)); }

  // Through the late-bound surface; the by-reference arguments must come back
  // as they went in.
  static bool lookUp(const ObjectRef& cache, int32_t lWhnd, const String& url) {
    std::vector<Variant> args{Variant(lWhnd), Variant(url)};
    Variant result;
    check(cache->Invoke(idOfName(*cache, u"GetCacheEntryInfoPro"), InvokeKind::Method, args,
                        &result));
    EXPECT_EQ(args, (std::vector<Variant>{Variant(lWhnd), Variant(url)}));
    return result.toBoolean();
  }

  // The error a direct GetCacheEntryInfo raises.
  Error directError(const BrowserPlatform& on, const String& url) const {
    try {
      GetCacheEntryInfo(on, 0, url);
    } catch (const Error& e) {
      return e;
    }
    ADD_FAILURE() << "no error";
    return Error(0, u"", u"");
  }
};

TEST_F(CacheEntryInfo, TrueWithAnEntryFalseWithoutWhateverTheWindowHandle) {
  ObjectRef cache = create();
  for (const int32_t lWhnd : {0, 1, -1, INT32_MAX, INT32_MIN}) {
    SCOPED_TRACE(lWhnd);
    EXPECT_TRUE(lookUp(cache, lWhnd, kCached));
    EXPECT_FALSE(lookUp(cache, lWhnd, kOther));
    EXPECT_FALSE(lookUp(cache, lWhnd, u"HTTP://EXAMPLE.TEST/cached?page=1"));  // exact text only
    EXPECT_FALSE(lookUp(cache, lWhnd, u""));
  }
  EXPECT_TRUE(reports.reports().empty());
}

TEST_F(CacheEntryInfo, DirectLookUpOfAMissingEntryRaises26721WithTheSystemText) {
  const Error e = directError(platform(profile), kOther);
  EXPECT_EQ(e.number(), 26721);
  EXPECT_EQ(e.source(), u"skein10.mCacheEntry");
  EXPECT_EQ(e.description(), u"The system cannot find the file specified.\r\n");
  EXPECT_TRUE(GetCacheEntryInfo(platform(profile), 0, kCached));
}

// A store that can't be read answers False to the host; directly it is
// error 26721 with the system's text for 5.
TEST_F(CacheEntryInfo, UnreadableStoreGivesFalse) {
  store = std::make_shared<os::UrlCacheStore>(folder.file("not-a-folder", "x"));
  ObjectRef cache = create();
  bool found = true;
  check(typed(cache).GetCacheEntryInfoPro(0, kCached, &found));
  EXPECT_FALSE(found);
  const Error e = directError(platform(profile), kCached);
  EXPECT_EQ(e.number(), 26721);
  EXPECT_EQ(e.description(), u"Access is denied.\r\n");
}

// A failure code the system has no text for gives an empty description.
TEST(SystemErrorMessage, TextOrNothing) {
  const os::MessageTable messages;
  EXPECT_EQ(GetSystemErrorMessage(messages, 122),
            u"The data area passed to a system call is too small.\r\n");
  EXPECT_EQ(GetSystemErrorMessage(messages, 12345), u"");
  EXPECT_EQ(GetSystemErrorMessage(messages, -1), u"");
}

}  // namespace

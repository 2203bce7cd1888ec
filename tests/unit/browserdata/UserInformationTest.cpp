#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

#include "unit/browserdata/BrowserDataFixture.h"
#include "ScopedEnvironment.h"

using namespace skein10;
using ::testing::ElementsAre;
using ::testing::Each;

namespace {

class UserInformation : public skein10::test::BrowserDataFixture {
 protected:
  // The four folders of a profile folder, in their order.
  static std::vector<String> foldersOf(const String& p) {
    return {p, p + u"\\Cookies", p + u"\\Local Settings\\History",
            p + u"\\Local Settings\\Temporary Internet Files"};
  }
  static void expectFolders(const Collection& items, const String& p) {
    EXPECT_THAT(texts(items), ::testing::ElementsAreArray(foldersOf(p)));
    const char16_t* keys[] = {u"UserProfileDir", u"CookiesDir", u"History", u"TempInternetFiles"};
    for (int32_t i = 0; i < 4; ++i)
      EXPECT_EQ(items.item(Variant(String(keys[i]))), items.item(Variant(i + 1))) << toUtf8(keys[i]);
  }
};

TEST_F(UserInformation, NewInstanceHoldsTheFourFoldersInOrderWithTheirKeys) {
  ObjectRef cache = create();
  expectFolders(*collection(cache, u"colUserInformation"), fromUtf8(profile));
  EXPECT_TRUE(reports.reports().empty());
}

// The collection is never cleared: each add meets its key and is reported;
// the items stay as they were.
TEST_F(UserInformation, SecondCallReportsFourDuplicatesAndChangesNothing) {
  ObjectRef cache = create();
  call(*cache, u"UserInformation");
  EXPECT_THAT(reports.numbers(), ElementsAre(457, 457, 457, 457));
  EXPECT_THAT(reports.locations(), Each(String(u"czInetURLCache.UserInformation")));
  const Ref<Collection> items = collection(cache, u"colUserInformation");
  EXPECT_EQ(items->count(), 4);
  expectFolders(*items, fromUtf8(profile));
}

TEST_F(UserInformation, ANewOrNoCollectionIsFilledAnew) {
  for (const bool setNothing : {false, true}) {
    SCOPED_TRACE(setNothing ? "nothing" : "new collection");
    ObjectRef cache = create();
    const Ref<Collection> old = collection(cache, u"colUserInformation");
    assign(*cache, u"colUserInformation", setNothing ? ObjectRef() : ObjectRef(makeRef<Collection>()),
           InvokeKind::Set);
    check(typed(cache).UserInformation());
    const Ref<Collection> items = collection(cache, u"colUserInformation");
    EXPECT_FALSE(items == old);
    expectFolders(*items, fromUtf8(profile));
    EXPECT_EQ(old->count(), 4);
  }
  EXPECT_TRUE(reports.reports().empty());
}

// The folder comes back through a 255-byte buffer: 254 bytes and the NUL fit,
// anything longer (or an unknown account) leaves the profile folder empty,
// which is not an error.
TEST_F(UserInformation, ProfileFolderLengthLimit) {
  const std::string p254 = "/" + std::string(253, 'p');
  const struct {
    std::optional<std::string> home;
    String expected;
  } cases[] = {
      {p254, fromUtf8(p254)},
      {p254 + "q", u""},
      {std::nullopt, u""},
      {"/home/\xC3\xA9l\xC3\xA8ve", u"/home/\u00E9l\u00E8ve"},  // the locale's encoding
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.home ? c.home->size() : 0);
    expectFolders(*collection(create(c.home), u"colUserInformation"), c.expected);
  }
  EXPECT_TRUE(reports.reports().empty());
}

// A failing report leaves the member (and so the creation) with its error.
TEST_F(UserInformation, FailingReportEndsTheMember) {
  ObjectRef cache = create();
  reports.failWith(Error(1234, u"Recorder", u"report failed"));
  try {
    call(*cache, u"UserInformation");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), 1234);
  }
  EXPECT_EQ(reports.reports().size(), 1u);
}

// On the machine's own services the profile folder is the account's home,
// whatever $HOME says, and the URL cache is the store $SKEIN10_URLCACHE names.
TEST_F(UserInformation, OnTheMachinesOwnServices) {
  const passwd* account = getpwuid(geteuid());
  ASSERT_NE(account, nullptr);
  skein10::test::ScopedEnvironment home("HOME", "/nowhere/else");
  skein10::test::ScopedEnvironment urlcache("SKEIN10_URLCACHE", store->folder().c_str());
  store->add("http://example.test/");
  ObjectRef cache = createURLCache();
  expectFolders(*collection(cache, u"colUserInformation"), fromUtf8(account->pw_dir));
  EXPECT_TRUE(call(*cache, u"GetCacheEntryInfoPro", {int32_t{0}, u"http://example.test/"}).toBoolean());
}

TEST_F(UserInformation, DispatchIdsReachTheirMembers) {
  ObjectRef cache = create();
  const Ref<Collection> cookies = makeRef<Collection>();
  std::vector<Variant> args{ObjectRef(cookies)};
  Variant result;
  check(cache->Invoke(0x40030001, InvokeKind::Set, args, &result));
  args.clear();
  check(cache->Invoke(0x40030001, InvokeKind::Get, args, &result));
  EXPECT_EQ(result.toObject(), ObjectRef(cookies));
  check(cache->Invoke(0x40030000, InvokeKind::Get, args, &result));
  EXPECT_EQ(BoundaryType<Ref<Collection>>::from(result)->count(), 4);
  for (const char16_t* name : {u"colUserInformation", u"colCookiesFiles", u"UserInformation",
                               u"GetCookiesFiles", u"GetCacheEntryInfoPro"})
    EXPECT_NO_THROW(idOfName(*cache, name)) << toUtf8(name);
  EXPECT_EQ(idOfName(*cache, u"getcacheentryinfopro"), 0x60030003);
}

}  // namespace

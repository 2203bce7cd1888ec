#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "common/App.h"
#include "skein10/Automation.h"

using namespace skein10;

namespace {

TEST(App, DescribesTheLibraryLateBound) {
  ObjectRef app = theApp();
  EXPECT_EQ(call(*app, u"EXEName").toString(), u"skein10");
  EXPECT_EQ(call(*app, u"productname").toString(), u"Skein10");
  EXPECT_EQ(call(*app, u"Major"), Variant(int16_t{1}));
  EXPECT_EQ(call(*app, u"Minor"), Variant(int16_t{0}));
  EXPECT_EQ(call(*app, u"Revision"), Variant(int16_t{94}));
  for (const char16_t* text : {u"Comments", u"CompanyName", u"FileDescription",
                               u"LegalTrademarks", u"LegalCopyright"})
    EXPECT_FALSE(call(*app, text).toString().empty()) << toUtf8(text);
}

// This code is linked into the test program here, so its folder is the
// program's folder.
TEST(App, PathIsTheFolderOfTheBinaryHoldingTheCode) {
  const auto program = std::filesystem::canonical("/proc/self/exe");
  EXPECT_EQ(call(*theApp(), u"Path").toString(), fromUtf8(program.parent_path().string()));
}

TEST(App, OneObjectPerThread) {
  ObjectRef first = theApp();
  EXPECT_EQ(theApp(), first);
  ObjectRef other;
  std::thread([&] { other = theApp(); }).join();
  EXPECT_TRUE(other);
  EXPECT_FALSE(other == first);
}

}  // namespace

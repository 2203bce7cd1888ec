#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/App.h"
#include "common/basKvcoreCommonA.h"
#include "framework/KvMarrow10.h"
#include "platform/automation/ErrObject.h"
#include "skein10/Automation.h"

using namespace skein10;
using ::testing::HasSubstr;

namespace {

class KvMarrow10 : public ::testing::Test {
 protected:
  void SetUp() override { registerKvMarrow10Classes(); }
  void TearDown() override {
    for (const auto& entry : kvmarrow10Classes()) unregisterClass(entry.progId);
  }
};

TEST_F(KvMarrow10, ClassesAreCreatedByProgIdWithDistinctClassIds) {
  const auto& classes = kvmarrow10Classes();
  ASSERT_EQ(classes.size(), 2u);
  EXPECT_NE(classes[0].classId, classes[1].classId);
  for (const auto& entry : classes) {
    ObjectRef object = CreateObject(entry.progId);
    ASSERT_TRUE(object);
    EXPECT_EQ(object->refCount(), 1);
  }
}

// The report is one line on standard error with the location and the error's
// number, source and description; a description's own line break (system
// texts end with CR LF) does not split it.
TEST_F(KvMarrow10, ErrorReportWritesOneLine) {
  ObjectRef handler = CreateObject(u"KvMarrow10.clsKvcoreErrorHandlerA");
  ObjectRef err = makeRef<ErrObject>(Error(26721, u"skein10.mCacheEntry", u"Access is denied.\r\n"));
  ::testing::internal::CaptureStderr();
  call(*handler, u"ErrorHandlerMessageKv",
       {theApp(), err, u"", u"czInetURLCache.UserInformation", int32_t{0}, u"", int32_t{0}});
  const std::string out = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(out,
            "skein10: czInetURLCache.UserInformation: error 26721 (skein10.mCacheEntry): "
            "Access is denied.\n");
}

TEST_F(KvMarrow10, ErrorReportWithoutAnErrorObjectFails) {
  ObjectRef handler = CreateObject(u"KvMarrow10.clsKvcoreErrorHandlerA");
  try {
    call(*handler, u"ErrorHandlerMessageKv",
         {theApp(), ObjectRef(), u"", u"x.y", int32_t{0}, u"", int32_t{0}});
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), errc::ObjectNotSet);
  }
}

TEST_F(KvMarrow10, AboutBoxShowsTheApplicationObject) {
  ObjectRef about = CreateObject(u"KvMarrow10.clsKvMarrow10A");
  ObjectRef app = theApp();
  ::testing::internal::CaptureStdout();
  call(*about, u"AppAboutKvcore", {app});
  const std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_THAT(out, HasSubstr("Skein10\n"));
  EXPECT_THAT(out, HasSubstr("Version 1.0.94\n"));
  for (const char16_t* name : {u"CompanyName", u"LegalCopyright", u"LegalTrademarks",
                               u"FileDescription", u"Comments", u"Path"})
    EXPECT_THAT(out, HasSubstr(toUtf8(call(*app, name).toString()))) << toUtf8(name);
}

// The about box through the library's procedure, with the real component.
TEST_F(KvMarrow10, AboutProcedureShowsTheLibrary) {
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  AppAboutKvcore_Pro();
  const std::string err = ::testing::internal::GetCapturedStderr();
  const std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_THAT(out, HasSubstr("Version 1.0.94"));
  EXPECT_EQ(err, "");
}

}  // namespace

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "common/ReportingProcedure.h"
#include "common/basKvcoreCommonA.h"
#include "framework/KvMarrow10.h"
#include "skein10/Automation.h"
#include "unit/framework/RecordingErrorHandler.h"

using namespace skein10;
using skein10::test::RecordingErrorHandler;
using ::testing::ElementsAre;

namespace {

// The framework's classes come from this process's own registrations only:
// in the build tree, the store installed beside the runtime would serve them.
[[maybe_unused]] const bool installedStoreLeftOut = ::setenv("SKEIN10_INSTALLED_REGISTRY", "", 1) == 0;

void failWith(int32_t number) { throw Error::runtime(number); }

// Runs five statements of which the second and fourth fail; `ran` counts the
// statements that completed.
void procedureWithTwoFailures(int& ran) {
  const ReportingProcedure procedure(u"czTest.Procedure");
  procedure.step([&] { ++ran; });
  procedure.step([&] { failWith(errc::DuplicateKey); ++ran; });
  procedure.step([&] { ++ran; });
  procedure.step([&] { failWith(errc::InvalidCall); ++ran; });
  procedure.step([&] { ++ran; });
}

TEST(ReportingProcedure, EachFailingStatementIsReportedOnceInOrderAndTheRestRuns) {
  RecordingErrorHandler handler;
  int ran = 0;
  procedureWithTwoFailures(ran);
  EXPECT_EQ(ran, 3);
  EXPECT_THAT(handler.numbers(), ElementsAre(errc::DuplicateKey, errc::InvalidCall));
  EXPECT_THAT(handler.locations(), ElementsAre(u"czTest.Procedure", u"czTest.Procedure"));
}

// The eight arguments every report passes.
TEST(ReportingProcedure, ReportCarriesTheAppTheErrorAndTheLocation) {
  RecordingErrorHandler handler;
  ReportingProcedure(u"czTest.Args").step([] {
    throw Error(26721, u"skein10.mCacheEntry", u"Access is denied.\r\n");
  });
  ASSERT_EQ(handler.reports().size(), 1u);
  const auto& r = handler.reports()[0];
  EXPECT_EQ(r.appExeName, u"skein10");
  EXPECT_EQ(r.number, 26721);
  EXPECT_EQ(r.source, u"skein10.mCacheEntry");
  EXPECT_EQ(r.description, u"Access is denied.\r\n");
  EXPECT_EQ(r.text3, u"");
  EXPECT_EQ(r.location, u"czTest.Args");
  EXPECT_EQ(r.number5, 0);
  EXPECT_EQ(r.text6, u"");
  EXPECT_EQ(r.number7, 0);
  EXPECT_TRUE(r.optional8Missing);
}

// When the report itself fails, the procedure ends at its first failure and
// the report's error reaches the caller: the creation error when the
// component is not there, the method's error when it fails.
TEST(ReportingProcedure, FailingReportEndsTheProcedure) {
  struct Case {
    const char* name;
    bool componentRegistered;
    int32_t expected;
  };
  for (const Case& c : {Case{"component unregistered", false, errc::CantCreateObject},
                        Case{"report method fails", true, 1234}}) {
    SCOPED_TRACE(c.name);
    std::optional<RecordingErrorHandler> handler;
    if (c.componentRegistered) {
      handler.emplace();
      handler->failWith(Error(1234, u"Recorder", u"report failed"));
    } else {
      unregisterClass(kErrorHandlerProgId);
    }
    int ran = 0;
    try {
      procedureWithTwoFailures(ran);
      ADD_FAILURE() << "the procedure ran to its end";
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), c.expected);
    }
    EXPECT_EQ(ran, 1);
    if (handler) {
      EXPECT_EQ(handler->reports().size(), 1u);
    }
  }
}

// Without the about class: creating it fails (429) and calling it on
// nothing fails (91), both reported under the procedure's location; the
// procedure still returns normally.
TEST(AboutProcedure, ReportsItsOwnFailuresAndReturns) {
  RecordingErrorHandler handler;
  unregisterClass(kAboutProgId);
  EXPECT_NO_THROW(AppAboutKvcore_Pro());
  EXPECT_THAT(handler.numbers(), ElementsAre(errc::CantCreateObject, errc::ObjectNotSet));
  EXPECT_THAT(handler.locations(),
              ElementsAre(u"basKvcoreCommonA.AppAboutKvcore_Pro",
                          u"basKvcoreCommonA.AppAboutKvcore_Pro"));
}

TEST(AboutProcedure, WithNoComponentTheCallerGetsTheCreationError) {
  unregisterClass(kAboutProgId);
  unregisterClass(kErrorHandlerProgId);
  try {
    AppAboutKvcore_Pro();
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), errc::CantCreateObject);
  }
}

}  // namespace

#include <gtest/gtest.h>

#include <thread>

#include "skein10/Automation.h"
#include "support/EmptyObject.h"
#include "framework/KvMarrow10.h"
#include "library/clsKvSkein10A.h"

using namespace skein10;

namespace {

using Thing = test_support::EmptyObject;

ObjectRef buddyOf(clsKvSkein10A& library) {
  ObjectRef out;
  check(library.get_BuddyObjectGlobal(&out));
  return out;
}

TEST(BuddySlot, IsSharedByTheInstancesOfOneThread) {
  auto first = makeRef<clsKvSkein10A>();
  EXPECT_FALSE(buddyOf(*first));  // empty at first

  auto parked = makeRef<Thing>();
  auto second = makeRef<clsKvSkein10A>();
  check(first->putref_BuddyObjectGlobal(parked));
  EXPECT_EQ(parked->refCount(), 2);  // ours and the slot's
  first.reset();
  EXPECT_EQ(buddyOf(*second).get(), parked.get());  // also after the first is gone

  check(second->putref_BuddyObjectGlobal(parked));  // storing the stored object
  EXPECT_EQ(parked->refCount(), 2);

  bool emptyOnOtherThread = false;
  std::thread([&] {
    auto other = makeRef<clsKvSkein10A>();
    emptyOnOtherThread = !buddyOf(*other);
  }).join();
  EXPECT_TRUE(emptyOnOtherThread);

  check(second->putref_BuddyObjectGlobal(ObjectRef()));  // storing nothing releases
  EXPECT_EQ(parked->refCount(), 1);
  EXPECT_FALSE(buddyOf(*second));
}

int32_t failureNumber(Status status) {
  EXPECT_EQ(status, Status::Failed);
  return takeError().number();
}

TEST(LibraryObject, ResourcesAndAbout) {
  registerKvMarrow10Classes();
  auto library = makeRef<clsKvSkein10A>();
  String text = u"x";
  EXPECT_EQ(failureNumber(library->get_GetProResStrings(1, &text)), errc::ResourceNotFound);
  EXPECT_EQ(text, u"");

  ObjectRef picture;
  EXPECT_EQ(failureNumber(library->get_GetProResPicture(1, LoadResConstants(40000), &picture)),
            errc::Overflow);
  EXPECT_EQ(failureNumber(library->get_GetProResPicture(1, resIcon, &picture)),
            errc::ResourceNotFound);
  EXPECT_FALSE(picture);

  Variant data;
  check(library->get_GetProResData(1, Variant(int32_t(16)), &data));
  const ByteArray bytes = data.toBytes();
  const std::string record(bytes.begin(), bytes.end());
  EXPECT_NE(record.find("FileVersion=1.00.0094"), std::string::npos);
  EXPECT_NE(record.find("ProductName=Skein10"), std::string::npos);

  check(library->get_GetProResData(1, Variant(u"typelib"), &data));
  const ByteArray lib = data.toBytes();
  const std::string typeLibrary(lib.begin(), lib.end());
  EXPECT_NE(typeLibrary.find("interface _clsKvInetFTPConnection"), std::string::npos);
  EXPECT_NE(typeLibrary.find("get LogData 0x68030000 () String"), std::string::npos);

  EXPECT_EQ(failureNumber(library->get_GetProResData(2, Variant(int32_t(16)), &data)),
            errc::ResourceNotFound);
  EXPECT_TRUE(data.isEmpty());

  int32_t about = -1;
  testing::internal::CaptureStdout();
  check(library->About(&about));
  const std::string shown = testing::internal::GetCapturedStdout();
  EXPECT_EQ(about, 0);
  EXPECT_NE(shown.find("Skein10"), std::string::npos);

  ObjectRef app;
  check(library->get_GetProStdProperties(&app));
  EXPECT_EQ(call(*app, u"EXEName"), Variant(u"skein10"));
  EXPECT_EQ(call(*app, u"Revision").toLong(), 94);
}

}  // namespace

#include <gtest/gtest.h>

#include <thread>

#include "skein10/Automation.h"
#include "support/EmptyObject.h"

using namespace skein10;

namespace {

using Thing = test_support::EmptyObject;

TEST(ModuleData, IsPerThreadAndReleasedWithTheThread) {
  auto thing = makeRef<Thing>();
  moduleData("test.slot") = Variant(thing);
  EXPECT_EQ(thing->refCount(), 2);

  std::thread([&] {
    EXPECT_TRUE(moduleData("test.slot").isEmpty());  // a new thread starts empty
    moduleData("test.slot") = Variant(thing);
    EXPECT_EQ(thing->refCount(), 3);
  }).join();
  EXPECT_EQ(thing->refCount(), 2);  // the thread's copy went with it

  EXPECT_EQ(moduleData("test.slot").toObject().get(), thing.get());
  releaseModuleData("test.");
  EXPECT_EQ(thing->refCount(), 1);
  EXPECT_TRUE(moduleData("test.slot").isEmpty());
}

}  // namespace

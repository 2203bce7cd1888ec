#include <gtest/gtest.h>

#include "skein10/Automation.h"
#include "support/EmptyObject.h"

using namespace skein10;

namespace {

using Thing = test_support::EmptyObject;

int32_t creationError(StringView progId) {
  try {
    CreateObject(progId);
  } catch (const Error& e) {
    return e.number();
  }
  return 0;
}

TEST(ClassRegistry, CreatesANewInstanceEachTime) {
  registerClass({u"Test.Thing", u"{6B1E0A40-5C3D-4E8F-9A21-0F0D3C2B1A30}", [] { return ObjectRef(makeRef<Thing>()); }});
  ObjectRef a = CreateObject(u"test.THING");
  ObjectRef b = CreateObject(u"Test.Thing");
  EXPECT_TRUE(a && b);
  EXPECT_NE(a.get(), b.get());
  EXPECT_EQ(a->refCount(), 1);
  unregisterClass(u"Test.Thing");
  EXPECT_EQ(creationError(u"Test.Thing"), errc::CantCreateObject);
}

TEST(ClassRegistry, UnknownProgIdOrFailingFactoryGive429) {
  EXPECT_EQ(creationError(u"No.Such"), errc::CantCreateObject);
  registerClass({u"Test.Broken", u"", []() -> ObjectRef { throw Error::runtime(errc::FileNotFound); }});
  EXPECT_EQ(creationError(u"Test.Broken"), errc::CantCreateObject);
  unregisterClass(u"Test.Broken");
}

TEST(ClassRegistry, AsksClassSourcesForWhatIsNotRegistered) {
  struct Source : ClassSource {
    int asked = 0;
    ObjectRef create(StringView progId) override {
      ++asked;
      return progId == u"Loaded.Thing" ? ObjectRef(makeRef<Thing>()) : ObjectRef();
    }
  };
  auto source = std::make_shared<Source>();
  addClassSource(source);
  EXPECT_TRUE(CreateObject(u"Loaded.Thing"));
  EXPECT_EQ(creationError(u"Loaded.Other"), errc::CantCreateObject);
  EXPECT_EQ(source->asked, 2);
  removeClassSource(source);
  EXPECT_EQ(creationError(u"Loaded.Thing"), errc::CantCreateObject);
}

}  // namespace

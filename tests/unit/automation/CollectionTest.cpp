#include <gtest/gtest.h>

#include "skein10/Automation.h"

using namespace skein10;

namespace {

int32_t errorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const Error& e) {
    return e.number();
  }
  return 0;
}

class CollectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    c->add(Variant(u"one"), u"First");
    c->add(int32_t(2));
    c->add(Variant(u"three"), u"Third");
  }
  Ref<Collection> c = makeRef<Collection>();
};

TEST_F(CollectionTest, KeepsOrderWithOneBasedPositions) {
  ASSERT_EQ(c->count(), 3);
  EXPECT_EQ(c->item(int32_t(1)), Variant(u"one"));
  EXPECT_EQ(c->item(int32_t(2)), Variant(int32_t(2)));
  EXPECT_EQ(c->item(int32_t(3)), Variant(u"three"));
  EXPECT_EQ(c->item(2.0), Variant(int32_t(2)));
}

TEST_F(CollectionTest, KeysCompareWithoutCase) {
  EXPECT_EQ(c->item(Variant(u"FIRST")), Variant(u"one"));
  EXPECT_EQ(c->item(Variant(u"third")), Variant(u"three"));
}

TEST_F(CollectionTest, DuplicateKeyFailsAndChangesNothing) {
  EXPECT_EQ(errorOf([&] { c->add(Variant(u"again"), u"fIrSt"); }), errc::DuplicateKey);
  EXPECT_EQ(c->count(), 3);
  EXPECT_EQ(c->item(Variant(u"first")), Variant(u"one"));
}

TEST_F(CollectionTest, MissingPositionOrKeyFailsWith5) {
  for (const Variant& index : {Variant(int32_t(0)), Variant(int32_t(4)), Variant(int32_t(-1)),
                               Variant(u"nope"), Variant(u"3")}) {
    EXPECT_EQ(errorOf([&] { c->item(index); }), errc::InvalidCall);
    EXPECT_EQ(errorOf([&] { c->remove(index); }), errc::InvalidCall);
  }
  EXPECT_EQ(c->count(), 3);
}

TEST_F(CollectionTest, RemoveShiftsPositionsAndFreesTheKey) {
  c->remove(Variant(u"FIRST"));
  ASSERT_EQ(c->count(), 2);
  EXPECT_EQ(c->item(int32_t(1)), Variant(int32_t(2)));
  EXPECT_EQ(c->item(Variant(u"Third")), Variant(u"three"));
  c->add(Variant(u"new"), u"first");
  EXPECT_EQ(c->item(int32_t(3)), Variant(u"new"));
  c->remove(int32_t(1));
  EXPECT_EQ(c->item(Variant(u"third")), Variant(u"three"));
  EXPECT_EQ(c->item(Variant(u"first")), Variant(u"new"));
}

TEST_F(CollectionTest, IsALateBoundObject) {
  call(*c, u"add", {Variant(u"four"), Variant(u"Fourth")});
  call(*c, u"Add", {int32_t(5)});  // the key is optional
  EXPECT_EQ(call(*c, u"count"), Variant(int32_t(5)));
  EXPECT_EQ(call(*c, u"Item", {Variant(u"fourth")}), Variant(u"four"));
  call(*c, u"Remove", {int32_t(1)});
  EXPECT_EQ(call(*c, u"Count"), Variant(int32_t(4)));
  try {
    call(*c, u"Add", {Variant(u"dup"), Variant(u"THIRD")});
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), errc::DuplicateKey);
  }
}

}  // namespace

#include <gtest/gtest.h>

#include <thread>

#include "skein10/Automation.h"

using namespace skein10;

namespace {

// A small dual interface: typed members in order, and the same members late-bound.
class _Sample : public Object {
 public:
  virtual Status get_Name(String* result) = 0;
  virtual Status put_Name(String value) = 0;
  virtual Status Twice(const int32_t& n, int32_t* result) = 0;
  virtual Status Join(String a, String b, String* result) = 0;
  virtual Status Fail(String* result) = 0;
};

class Sample final : public _Sample {
 public:
  Status get_Name(String* result) override {
    return guarded(result, [&] { return name_; });
  }
  Status put_Name(String value) override {
    return guarded([&] { name_ = value; });
  }
  Status Twice(const int32_t& n, int32_t* result) override {
    return guarded(result, [&] { return n * 2; });
  }
  Status Join(String a, String b, String* result) override {
    return guarded(result, [&] { return a + u"+" + b; });
  }
  Status Fail(String* result) override {
    return guarded(result, [&]() -> String { throw Error(1234, u"Sample", u"it failed"); });
  }
  const InterfaceInfo& interfaceInfo() const override {
    static const InterfaceInfo info{
        u"_Sample",
        u"{6B1E0A40-5C3D-4E8F-9A21-0F0D3C2B1A20}",
        {
            member<&_Sample::get_Name>(u"Name", MemberKind::Get, 0x68030000),
            member<&_Sample::put_Name>(u"Name", MemberKind::Let, 0x68030000),
            member<&_Sample::Twice>(u"Twice", MemberKind::Method, 0x60030001, {{u"lValue", Passing::ByReference}}),
            member<&_Sample::Join>(u"Join", MemberKind::Method, 0x60030002),
            member<&_Sample::Fail>(u"Fail", MemberKind::Method, 0x60030003),
        }};
    return info;
  }

 private:
  String name_ = u"initial";
};

// Another interface that gives 0x68030000 to a different member.
class Other final : public Object {
 public:
  Status get_Answer(int32_t* result) {
    return guarded(result, [] { return int32_t(42); });
  }
  const InterfaceInfo& interfaceInfo() const override {
    static const InterfaceInfo info{
        u"_Other", u"{6B1E0A40-5C3D-4E8F-9A21-0F0D3C2B1A21}",
        {member<&Other::get_Answer>(u"Answer", MemberKind::Get, 0x68030000)}};
    return info;
  }
};

Error failureOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const Error& e) {
    return e;
  }
  return Error(0, u"", u"no error");
}

TEST(LateBinding, PublishesTheTypeInformation) {
  const InterfaceInfo& info = makeRef<Sample>()->interfaceInfo();
  EXPECT_EQ(info.name, u"_Sample");
  ASSERT_EQ(info.members.size(), 5u);
  const MemberInfo& twice = info.members[2];
  EXPECT_EQ(twice.name, u"Twice");
  EXPECT_EQ(twice.kind, MemberKind::Method);
  EXPECT_EQ(twice.id, 0x60030001);
  ASSERT_EQ(twice.params.size(), 1u);
  EXPECT_EQ(twice.params[0].type, VarType::Long);
  EXPECT_EQ(twice.params[0].passing, Passing::ByReference);
  EXPECT_EQ(twice.params[0].name, u"lValue");
  EXPECT_EQ(twice.result, VarType::Long);
  EXPECT_EQ(info.members[1].result, VarType::Empty);
  EXPECT_EQ(info.members[1].params[0].type, VarType::String);
}

TEST(LateBinding, CallsByNameWithoutCaseAndById) {
  auto sample = makeRef<Sample>();
  EXPECT_EQ(call(*sample, u"jOiN", {Variant(u"a"), int32_t(5)}), Variant(u"a+5"));
  assign(*sample, u"NAME", Variant(u"changed"));
  EXPECT_EQ(call(*sample, u"name"), Variant(u"changed"));

  std::vector<Variant> args{Variant(u"21")};
  Variant result;
  ASSERT_EQ(sample->Invoke(0x60030001, InvokeKind::Method, args, &result), Status::Ok);
  EXPECT_EQ(result, Variant(int32_t(42)));
  EXPECT_EQ(args[0], Variant(u"21"));  // a by-reference argument is never written back
}

TEST(LateBinding, DispatchIdsBelongToOneInterface) {
  std::vector<Variant> none;
  Variant name, answer;
  ASSERT_EQ(makeRef<Sample>()->Invoke(0x68030000, InvokeKind::Get, none, &name), Status::Ok);
  ASSERT_EQ(makeRef<Other>()->Invoke(0x68030000, InvokeKind::Get, none, &answer), Status::Ok);
  EXPECT_EQ(name, Variant(u"initial"));
  EXPECT_EQ(answer, Variant(int32_t(42)));
}

TEST(LateBinding, FailuresGiveTheirErrorNumbers) {
  auto sample = makeRef<Sample>();
  struct {
    const char* what;
    std::function<void()> call;
    int32_t number;
  } cases[] = {
      {"unknown name", [&] { call(*sample, u"Missing"); }, errc::MemberNotFound},
      {"unknown id", [&] {
         std::vector<Variant> a;
         Variant r;
         check(sample->Invoke(0x7777, InvokeKind::Method, a, &r));
       }, errc::MemberNotFound},
      {"too few arguments", [&] { call(*sample, u"Join", {Variant(u"a")}); }, errc::WrongArguments},
      {"too many arguments", [&] { call(*sample, u"Twice", {int32_t(1), int32_t(2)}); },
       errc::WrongArguments},
      {"argument of the wrong type", [&] { call(*sample, u"Twice", {Variant(u"x")}); },
       errc::TypeMismatch},
      {"argument out of range", [&] { call(*sample, u"Twice", {1e12}); }, errc::Overflow},
      {"assignment to a method", [&] { assign(*sample, u"Twice", int32_t(1)); }, errc::WrongArguments},
      {"the member's own error", [&] { call(*sample, u"Fail"); }, 1234},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(failureOf(c.call).number(), c.number);
  }
}

TEST(LateBinding, FailureLeavesTheEmptyValueAndTheErrorOnTheCallingThreadOnly) {
  auto sample = makeRef<Sample>();
  clearErrorInfo();
  String typed = u"garbage";
  EXPECT_EQ(sample->Fail(&typed), Status::Failed);
  EXPECT_EQ(typed, u"");

  std::vector<Variant> none;
  Variant late = Variant(u"garbage");
  EXPECT_EQ(sample->Invoke(0x60030003, InvokeKind::Method, none, &late), Status::Failed);
  EXPECT_TRUE(late.isEmpty());

  bool otherThreadSawError = true;
  std::thread([&] { otherThreadSawError = errorInfo().has_value(); }).join();
  EXPECT_FALSE(otherThreadSawError);

  const auto info = errorInfo();
  ASSERT_TRUE(info);
  EXPECT_EQ(info->number(), 1234);
  EXPECT_EQ(info->source(), u"Sample");
  EXPECT_EQ(info->description(), u"it failed");
}

TEST(LateBinding, ReferencesAreCounted) {
  auto sample = makeRef<Sample>();
  EXPECT_EQ(sample->refCount(), 1);
  {
    Variant holder(sample);
    Ref<Object> another = holder.toObject();
    EXPECT_EQ(sample->refCount(), 3);  // sample, the variant and another
  }
  EXPECT_EQ(sample->refCount(), 1);
}

}  // namespace

#include <gtest/gtest.h>

#include <optional>

#include "skein10/Automation.h"

using namespace skein10;

namespace {

struct Case {
  const char* name;
  Variant input;
  VarType to;
  std::optional<Variant> expected;  // nothing: the conversion raises `error`
  int32_t error = 0;
};

class Dummy : public Object {
 public:
  const InterfaceInfo& interfaceInfo() const override {
    static const InterfaceInfo info{u"_Dummy", u"", {}};
    return info;
  }
};

std::vector<Case> cases() {
  const ObjectRef object = makeRef<Dummy>();
  const Variant nothing{ObjectRef()};
  return {
      // Numbers in and out of the target's range.
      {"long to integer", int32_t(32767), VarType::Integer, int16_t(32767)},
      {"long 40000 to integer", int32_t(40000), VarType::Integer, std::nullopt, errc::Overflow},
      {"long -32769 to integer", int32_t(-32769), VarType::Integer, std::nullopt, errc::Overflow},
      {"integer to long", int16_t(-5), VarType::Long, int32_t(-5)},
      {"double to long rounds half even", 2.5, VarType::Long, int32_t(2)},
      {"double 3.5 to long", 3.5, VarType::Long, int32_t(4)},
      {"double -2.5 to integer", -2.5, VarType::Integer, int16_t(-2)},
      {"double 32767.5 overflows integer", 32767.5, VarType::Integer, std::nullopt, errc::Overflow},
      {"double 3e9 to long", 3e9, VarType::Long, std::nullopt, errc::Overflow},
      {"long to double", int32_t(7), VarType::Double, 7.0},
      // Booleans: True is -1.
      {"true to integer", true, VarType::Integer, int16_t(-1)},
      {"false to long", false, VarType::Long, int32_t(0)},
      {"true to string", true, VarType::String, Variant(u"True")},
      {"nonzero to boolean", int32_t(3), VarType::Boolean, true},
      {"zero to boolean", 0.0, VarType::Boolean, false},
      {"text True to boolean", Variant(u" true "), VarType::Boolean, true},
      {"text 0 to boolean", Variant(u"0"), VarType::Boolean, false},
      {"text yes to boolean", Variant(u"yes"), VarType::Boolean, std::nullopt, errc::TypeMismatch},
      // Text to numbers: spaces around and a sign are accepted.
      {"text to long", Variant(u"  -42 "), VarType::Long, int32_t(-42)},
      {"text with plus", Variant(u"+21"), VarType::Long, int32_t(21)},
      {"text fraction to long", Variant(u"1.5"), VarType::Long, int32_t(2)},
      {"text exponent to double", Variant(u"1e3"), VarType::Double, 1000.0},
      {"text abc to long", Variant(u"abc"), VarType::Long, std::nullopt, errc::TypeMismatch},
      {"empty text to long", Variant(u""), VarType::Long, std::nullopt, errc::TypeMismatch},
      {"text 12abc to long", Variant(u"12abc"), VarType::Long, std::nullopt, errc::TypeMismatch},
      {"text inf to double", Variant(u"inf"), VarType::Double, std::nullopt, errc::TypeMismatch},
      {"text 40000 to integer", Variant(u"40000"), VarType::Integer, std::nullopt, errc::Overflow},
      {"text 1e400 to double", Variant(u"1e400"), VarType::Double, std::nullopt, errc::Overflow},
      // Beyond a Double's range the number's size decides, however it is written.
      {"text 1e-400 to double", Variant(u"1e-400"), VarType::Double, 0.0},
      {"text tiny fraction to double", Variant(u"0." + String(400, u'0') + u"1"), VarType::Double, 0.0},
      {"text long digits, small exponent", Variant(u"1" + String(400, u'0') + u"e-1"), VarType::Double,
       std::nullopt, errc::Overflow},
      {"text tiny fraction, large exponent", Variant(u"0." + String(400, u'0') + u"1e900"), VarType::Double,
       std::nullopt, errc::Overflow},
      // Numbers to text.
      {"long to string", int32_t(-17), VarType::String, Variant(u"-17")},
      {"double to string", 0.25, VarType::String, Variant(u"0.25")},
      {"whole double to string", 3.0, VarType::String, Variant(u"3")},
      // Empty converts to every scalar's empty value.
      {"empty to long", Variant(), VarType::Long, int32_t(0)},
      {"empty to string", Variant(), VarType::String, Variant(u"")},
      {"empty to boolean", Variant(), VarType::Boolean, false},
      {"empty to object", Variant(), VarType::Object, std::nullopt, errc::TypeMismatch},
      // Objects, arrays and error values convert only to themselves.
      {"object to object", object, VarType::Object, object},
      {"nothing to object", nothing, VarType::Object, nothing},
      {"object to long", object, VarType::Long, std::nullopt, errc::TypeMismatch},
      {"object to string", object, VarType::String, std::nullopt, errc::TypeMismatch},
      {"array to string", Variant(Variant::Array{int32_t(1)}), VarType::String, std::nullopt,
       errc::TypeMismatch},
      {"missing to long", Variant::missing(), VarType::Long, std::nullopt, errc::TypeMismatch},
      {"long to array", int32_t(1), VarType::Array, std::nullopt, errc::TypeMismatch},
      // Text and byte arrays convert as 16-bit units, low byte first.
      {"string to bytes", Variant(u"A\u0100"), VarType::ByteArray, Variant(ByteArray{0x41, 0, 0, 1})},
      {"bytes to string", Variant(ByteArray{0x41, 0, 0x42, 0}), VarType::String, Variant(u"AB")},
      {"bytes to long", Variant(ByteArray{1}), VarType::Long, std::nullopt, errc::TypeMismatch},
      // Anything to Variant is unchanged.
      {"string to variant", Variant(u"x"), VarType::Variant, Variant(u"x")},
  };
}

TEST(Conversion, FollowsTheTable) {
  for (const Case& c : cases()) {
    SCOPED_TRACE(c.name);
    if (c.expected) {
      const Variant out = convert(c.input, c.to);
      EXPECT_EQ(out.type(), c.expected->type());
      EXPECT_TRUE(out == *c.expected);
    } else {
      try {
        convert(c.input, c.to);
        ADD_FAILURE() << "no error raised";
      } catch (const Error& e) {
        EXPECT_EQ(e.number(), c.error);
        EXPECT_EQ(e.source(), u"skein10");
        EXPECT_EQ(e.description(), runtimeErrorText(c.error));
      }
    }
  }
}

TEST(Conversion, ErrorsCarryTheStandardTexts) {
  EXPECT_EQ(runtimeErrorText(errc::Overflow), u"Overflow");
  EXPECT_EQ(runtimeErrorText(errc::TypeMismatch), u"Type mismatch");
  EXPECT_EQ(Error::resourceNotFound(7).description(), u"Resource with identifier '7' not found");
  EXPECT_EQ(Error::resourceNotFound(7).number(), 326);
}

}  // namespace

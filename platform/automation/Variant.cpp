#include "skein10/Variant.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "platform/automation/TextFold.h"
#include "skein10/Error.h"

namespace skein10 {
namespace {

[[noreturn]] void typeMismatch() { throw Error::runtime(errc::TypeMismatch); }
[[noreturn]] void overflow() { throw Error::runtime(errc::Overflow); }

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }

StringView trimBlanks(StringView text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The power of ten of the first significant digit of the digits, point and
// exponent that parseNumber collected ("0.05" is -2, "120e1" is 3): at least
// 0 when the number is 1 or more. A number that doesn't fit a Double overflows
// when it is, and is zero when it isn't, however it is written.
long long leadingPowerOfTen(std::string_view ascii) {
  const std::size_t e = ascii.find('e');
  long long exponent = 0;
  if (e != std::string_view::npos) {
    std::string_view digits = ascii.substr(e + 1);
    const bool negative = !digits.empty() && digits.front() == '-';
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) digits.remove_prefix(1);
    // Exponents beyond any Double's range all mean the same.
    constexpr long long kHuge = 1LL << 40;
    for (char c : digits) exponent = std::min(exponent * 10 + (c - '0'), kHuge);
    if (negative) exponent = -exponent;
  }
  const std::string_view mantissa = ascii.substr(0, e);
  const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
  const std::size_t first = mantissa.find_first_not_of("0.");
  if (first == std::string_view::npos) return 0;
  const auto position = first < point ? static_cast<long long>(point - first - 1)
                                      : -static_cast<long long>(first - point);
  return position + exponent;
}

// A decimal number with an optional sign, fraction and exponent, spaces
// around it allowed; nothing when the text holds anything else.
std::optional<double> parseNumber(StringView text) {
  text = trimBlanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == u'+' || text.front() == u'-')) {
    negative = text.front() == u'-';
    text.remove_prefix(1);
  }
  std::string ascii;
  std::size_t digits = 0, i = 0;
  const auto takeDigits = [&] {
    std::size_t n = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i, ++n) ascii += char(text[i]);
    return n;
  };
  digits += takeDigits();
  if (i < text.size() && text[i] == u'.') {
    ascii += '.', ++i;
    digits += takeDigits();
  }
  if (digits == 0) return std::nullopt;
  if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
    ascii += 'e', ++i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ascii += char(text[i++]);
    if (takeDigits() == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  double value = 0;
  const auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
  if (end != ascii.data() + ascii.size()) return std::nullopt;
  if (ec == std::errc::result_out_of_range) {
    // Too large overflows; too small is zero.
    if (leadingPowerOfTen(ascii) >= 0) overflow();
    value = 0;
  }
  return negative ? -value : value;
}

// The numeric value of a scalar: Empty is 0, True is -1, text is parsed.
double numberOf(const Variant& v) {
  switch (v.type()) {
    case VarType::Empty: return 0;
    case VarType::Integer: return *v.as<int16_t>();
    case VarType::Long: return *v.as<int32_t>();
    case VarType::Double: return *v.as<double>();
    case VarType::Boolean: return *v.as<bool>() ? -1 : 0;
    case VarType::String:
      if (auto n = parseNumber(*v.as<String>())) return *n;
      typeMismatch();
    default: typeMismatch();
  }
}

// Fractions round to the nearest integer, halves to the even one.
template <class Int>
Int toIntegral(double value) {
  const double rounded = std::nearbyint(value);  // default rounding mode: half to even
  if (!(rounded >= std::numeric_limits<Int>::min() && rounded <= std::numeric_limits<Int>::max()))
    overflow();
  return static_cast<Int>(rounded);
}

bool sameText(StringView a, StringView b) { return sameFolded(a, b); }

bool booleanOf(const Variant& v) {
  if (const String* s = v.as<String>()) {
    const StringView t = trimBlanks(*s);
    if (sameText(t, u"True")) return true;
    if (sameText(t, u"False")) return false;
  }
  return numberOf(v) != 0;
}

String formatDouble(double value) {
  if (!std::isfinite(value)) overflow();
  char buffer[32];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  String out;
  for (const char* p = buffer; p != end; ++p) out += static_cast<char16_t>(*p == 'e' ? 'E' : *p);
  return out;
}

String asciiText(const std::string& s) { return String(s.begin(), s.end()); }

// Byte arrays and text convert as the text's 16-bit units, low byte first.
ByteArray bytesOfText(const String& text) {
  ByteArray out;
  out.reserve(text.size() * 2);
  for (char16_t c : text) {
    out.push_back(static_cast<uint8_t>(c & 0xFF));
    out.push_back(static_cast<uint8_t>(c >> 8));
  }
  return out;
}

String textOfBytes(const ByteArray& bytes) {
  String out;
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    const uint8_t high = i + 1 < bytes.size() ? bytes[i + 1] : 0;
    out += static_cast<char16_t>(bytes[i] | (high << 8));
  }
  return out;
}

String stringOf(const Variant& v) {
  switch (v.type()) {
    case VarType::Empty: return String();
    case VarType::Integer: return asciiText(std::to_string(*v.as<int16_t>()));
    case VarType::Long: return asciiText(std::to_string(*v.as<int32_t>()));
    case VarType::Double: return formatDouble(*v.as<double>());
    case VarType::Boolean: return *v.as<bool>() ? u"True" : u"False";
    case VarType::String: return *v.as<String>();
    case VarType::ByteArray: return textOfBytes(*v.as<ByteArray>());
    default: typeMismatch();
  }
}

// Values that convert only to their own type.
Variant sameTypeOnly(const Variant& v, VarType to) {
  if (v.type() != to) typeMismatch();
  return v;
}

}  // namespace

VarType Variant::type() const noexcept {
  static constexpr VarType kTypes[] = {VarType::Empty,  VarType::Integer,   VarType::Long,
                                       VarType::Double, VarType::Boolean,   VarType::String,
                                       VarType::Object, VarType::ByteArray, VarType::Array,
                                       VarType::Error};
  return kTypes[value_.index()];
}

bool Variant::isMissing() const noexcept {
  const ErrorValue* e = as<ErrorValue>();
  return e && *e == kMissing;
}

Variant convert(const Variant& value, VarType to) {
  switch (to) {
    case VarType::Variant: return value;
    case VarType::Integer: return toIntegral<int16_t>(numberOf(value));
    case VarType::Long: return toIntegral<int32_t>(numberOf(value));
    case VarType::Double: return numberOf(value);
    case VarType::Boolean: return booleanOf(value);
    case VarType::String: return stringOf(value);
    case VarType::ByteArray:
      if (const String* s = value.as<String>()) return bytesOfText(*s);
      return sameTypeOnly(value, to);
    default: return sameTypeOnly(value, to);
  }
}

int16_t Variant::toInteger() const { return *convert(*this, VarType::Integer).as<int16_t>(); }
int32_t Variant::toLong() const { return *convert(*this, VarType::Long).as<int32_t>(); }
double Variant::toDouble() const { return *convert(*this, VarType::Double).as<double>(); }
bool Variant::toBoolean() const { return *convert(*this, VarType::Boolean).as<bool>(); }
String Variant::toString() const { return *convert(*this, VarType::String).as<String>(); }
ObjectRef Variant::toObject() const { return *convert(*this, VarType::Object).as<ObjectRef>(); }
ByteArray Variant::toBytes() const { return *convert(*this, VarType::ByteArray).as<ByteArray>(); }

String typeName(VarType type) {
  switch (type) {
    case VarType::Empty: return u"Empty";
    case VarType::Integer: return u"Integer";
    case VarType::Long: return u"Long";
    case VarType::Double: return u"Double";
    case VarType::String: return u"String";
    case VarType::Object: return u"Object";
    case VarType::Error: return u"Error";
    case VarType::Boolean: return u"Boolean";
    case VarType::Variant: return u"Variant";
    case VarType::ByteArray: return u"Byte()";
    case VarType::Array: return u"Variant()";
  }
  return u"Unknown";
}

}  // namespace skein10

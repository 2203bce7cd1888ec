// The one conversion routine over values of every type built from the input,
// converted to every type: each result has the type asked for, each failure
// is 6 "Overflow" or 13 "Type mismatch". Where a round trip truly holds, it
// is checked: a number, a Boolean or a finite Double through text and back,
// text through a byte array and back, an integer through Double and back, and
// any bytes through UTF-8 decoding and back. Text that reads as a Double
// reads as the C library's strtod reads it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "skein10/Error.h"
#include "skein10/Variant.h"

namespace skein10 {
namespace {

void require(bool ok) {
  if (!ok) std::abort();
}

constexpr VarType kTypes[] = {VarType::Empty,   VarType::Integer, VarType::Long,      VarType::Double,
                              VarType::String,  VarType::Object,  VarType::Error,     VarType::Boolean,
                              VarType::Variant, VarType::ByteArray, VarType::Array};

// The value converted, or nothing when convert() raised 6 or 13 (any other
// error is a fault). `overflowed` tells which of the two it was.
std::optional<Variant> tryConvert(const Variant& value, VarType to, bool* overflowed = nullptr) {
  try {
    Variant result = convert(value, to);
    require(result.type() == (to == VarType::Variant ? value.type() : to));
    return result;
  } catch (const Error& e) {
    require(e.number() == errc::Overflow || e.number() == errc::TypeMismatch);
    if (overflowed) *overflowed = e.number() == errc::Overflow;
    return std::nullopt;
  }
}

Variant scalarFrom(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange<int>(0, 9)) {
    case 0: return Variant(in.ConsumeIntegral<int16_t>());
    case 1: return Variant(in.ConsumeIntegral<int32_t>());
    case 2: {
      const auto bits = in.ConsumeIntegral<uint64_t>();
      double d;
      std::memcpy(&d, &bits, sizeof d);
      return Variant(d);
    }
    case 3: return Variant(in.ConsumeBool());
    case 4: return Variant(ErrorValue{in.ConsumeIntegral<int32_t>()});
    case 5: return Variant();
    case 6: return Variant(ObjectRef());
    case 7: return Variant(in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<std::size_t>(0, 64)));
    default: return Variant(fromUtf8(in.ConsumeRandomLengthString(1024)));
  }
}

Variant valueFrom(FuzzedDataProvider& in) {
  if (in.ConsumeIntegralInRange<int>(0, 15) != 0) return scalarFrom(in);
  Variant::Array items;
  for (int n = in.ConsumeIntegralInRange<int>(0, 3); n > 0; --n) items.push_back(scalarFrom(in));
  return Variant(std::move(items));
}

// Text that convert() read as `got` (or found too large) against strtod,
// for plain ASCII text; strtod reads everything convert() accepts.
void matchesStrtod(const String& text, std::optional<double> got) {
  std::string ascii;
  for (char16_t c : text) {
    if (c >= 0x80 || c == 0) return;
    ascii += static_cast<char>(c);
  }
  const auto blank = ascii.find_last_not_of(" \t");
  ascii.erase(blank == std::string::npos ? 0 : blank + 1);
  char* end = nullptr;
  const double want = std::strtod(ascii.c_str(), &end);
  require(end == ascii.c_str() + ascii.size());
  if (got) {
    require(*got == want);
  } else {
    require(std::isinf(want));
  }
}

void checkNumberText(const Variant& value) {
  const String* text = value.as<String>();
  if (!text) return;
  bool overflowed = false;
  const auto d = tryConvert(value, VarType::Double, &overflowed);
  if (d) matchesStrtod(*text, d->toDouble());
  if (!d && overflowed) matchesStrtod(*text, std::nullopt);
}

// Converting to an integer type is converting to Double, then rounding.
void checkRounding(const Variant& value) {
  const auto d = tryConvert(value, VarType::Double);
  if (!d) return;
  for (VarType to : {VarType::Integer, VarType::Long}) require(tryConvert(value, to) == tryConvert(*d, to));
  if (!value.as<String>()) require(tryConvert(value, VarType::Boolean) == Variant(d->toDouble() != 0));
}

void checkRoundTrips(const Variant& value) {
  const VarType type = value.type();
  const bool viaText = type == VarType::Integer || type == VarType::Long || type == VarType::Boolean ||
                       type == VarType::Double;
  if (viaText) {
    if (const auto text = tryConvert(value, VarType::String)) require(tryConvert(*text, type) == value);
  }
  if (type == VarType::Integer || type == VarType::Long)
    require(tryConvert(*tryConvert(value, VarType::Double), type) == value);
  if (type == VarType::String)
    require(tryConvert(*tryConvert(value, VarType::ByteArray), VarType::String) == value);
  if (const ByteArray* bytes = value.as<ByteArray>(); bytes && bytes->size() % 2 == 0)
    require(tryConvert(*tryConvert(value, VarType::String), VarType::ByteArray) == value);
}

}  // namespace
}  // namespace skein10

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace skein10;
  const std::string_view raw(reinterpret_cast<const char*>(data), size);
  require(toUtf8(fromUtf8(raw)) == raw);

  FuzzedDataProvider in(data, size);
  const Variant value = valueFrom(in);
  for (VarType to : kTypes) tryConvert(value, to);
  checkNumberText(value);
  checkRounding(value);
  checkRoundTrips(value);
  return 0;
}

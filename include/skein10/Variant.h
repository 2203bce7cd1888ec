#pragma once
// The tagged value of the boundary, and the one routine that converts it.

#include <cstdint>
#include <variant>
#include <vector>

#include "skein10/Object.h"
#include "skein10/String.h"
#include "skein10/Export.h"

namespace skein10 {

// Type tags; the numbers are the platform's variant type codes.
enum class VarType : uint16_t {
  Empty = 0,
  Integer = 2,    // 16-bit signed
  Long = 3,       // 32-bit signed
  Double = 5,
  String = 8,
  Object = 9,
  Error = 10,     // an error code; kMissing marks an omitted optional argument
  Boolean = 11,   // True is -1
  Variant = 12,   // any of these (a parameter or result that takes a Variant)
  ByteArray = 0x2011,
  Array = 0x200C,  // array of variants
};

using ByteArray = std::vector<uint8_t>;

struct SKEIN10_API ErrorValue {
  int32_t code;
  friend bool operator==(ErrorValue, ErrorValue) = default;
};
// The error value that stands for a missing optional argument.
inline constexpr ErrorValue kMissing{static_cast<int32_t>(0x80020004u)};

class SKEIN10_API Variant {
 public:
  using Array = std::vector<Variant>;

  Variant() noexcept = default;
  Variant(int16_t v) : value_(v) {}
  Variant(int32_t v) : value_(v) {}
  Variant(double v) : value_(v) {}
  Variant(bool v) : value_(v) {}
  Variant(String v) : value_(std::move(v)) {}
  Variant(const char16_t* v) : value_(String(v)) {}
  Variant(ObjectRef v) : value_(std::move(v)) {}
  template <class T>
  Variant(const Ref<T>& v) : value_(ObjectRef(v)) {}
  Variant(ByteArray v) : value_(std::move(v)) {}
  Variant(Array v) : value_(std::move(v)) {}
  Variant(ErrorValue v) : value_(v) {}

  static Variant missing() { return Variant(kMissing); }

  VarType type() const noexcept;
  bool isEmpty() const noexcept { return type() == VarType::Empty; }
  bool isMissing() const noexcept;

  // Direct access to the held alternative; nullptr when another one is held.
  template <class T>
  const T* as() const noexcept {
    return std::get_if<T>(&value_);
  }

  // Conversions; each goes through convert() and raises 6 "Overflow" or
  // 13 "Type mismatch".
  int16_t toInteger() const;
  int32_t toLong() const;
  double toDouble() const;
  bool toBoolean() const;
  String toString() const;
  ObjectRef toObject() const;
  ByteArray toBytes() const;

  friend bool operator==(const Variant& a, const Variant& b) { return a.value_ == b.value_; }

 private:
  std::variant<std::monostate, int16_t, int32_t, double, bool, String, ObjectRef, ByteArray, Array,
               ErrorValue>
      value_;
};

// The conversion routine: value converted to the given type. VarType::Variant
// returns the value unchanged. Numbers out of the target's range raise 6;
// values that can't become the target raise 13. Text becomes a number when it
// holds one, with spaces around it and a sign allowed. Fractions round to the
// nearest integer, halves to the even one.
SKEIN10_API Variant convert(const Variant& value, VarType to);

// The name of a type as the runtime prints it ("Long", "String", ...).
SKEIN10_API String typeName(VarType type);

}  // namespace skein10

#pragma once
// Late-bound calls for host code: by member name, throwing on failure.

#include <vector>

#include "skein10/Boundary.h"
#include "skein10/Object.h"
#include "skein10/Variant.h"

namespace skein10 {

inline DispId idOfName(const Object& object, const String& name) {
  DispId id = 0;
  check(object.GetIDOfName(name, &id));
  return id;
}

// Calls member `name` of `object` with the given arguments; a property read
// or a method, whichever the interface has.
inline Variant call(Object& object, const String& name, std::vector<Variant> args = {},
                    InvokeKind kind = InvokeKind::Method | InvokeKind::Get) {
  Variant result;
  check(object.Invoke(idOfName(object, name), kind, args, &result));
  return result;
}

// Assigns a property: a value (Let) or an object reference (Set).
inline void assign(Object& object, const String& name, Variant value, InvokeKind kind = InvokeKind::Let) {
  std::vector<Variant> args{std::move(value)};
  Variant ignored;
  check(object.Invoke(idOfName(object, name), kind, args, &ignored));
}

}  // namespace skein10

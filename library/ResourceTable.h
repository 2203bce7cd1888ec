#pragma once
// The library's own resource table, and the runtime's three loaders over it.
//
// It holds what describes the library itself: the type library (type
// "TYPELIB", identifier 1), the version record (type 16, identifier 1) and
// one record per public class (type "CLASSINFO", identifiers 101..105) that
// holds the identifier of the class's default interface. No strings, no
// pictures.

#include <cstdint>

#include "skein10/Object.h"
#include "skein10/Variant.h"

namespace skein10 {

inline constexpr int32_t kVersionResourceType = 16;

// Each raises 326 "Resource with identifier 'N' not found" for a missing entry.
String LoadResString(int32_t id);
ObjectRef LoadResPicture(const Variant& id, int16_t kind);
Variant LoadResData(const Variant& id, const Variant& type);

}  // namespace skein10

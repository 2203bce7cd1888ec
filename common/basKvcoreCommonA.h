#pragma once
// The two procedures that reach the framework component KvMarrow10: the
// error report and the about box. Each use creates the component's class by
// ProgID, calls one method by name, ignores its result and releases it.

#include <cstdint>

#include "skein10/Object.h"
#include "skein10/String.h"
#include "skein10/Variant.h"

namespace skein10 {

inline constexpr char16_t kErrorHandlerProgId[] = u"KvMarrow10.clsKvcoreErrorHandlerA";
inline constexpr char16_t kAboutProgId[] = u"KvMarrow10.clsKvMarrow10A";

// Hands an error report to KvMarrow10.clsKvcoreErrorHandlerA's
// ErrorHandlerMessageKv with the same eight arguments in the same order.
// Failures (the component can't be created, its method fails) reach the
// caller.
void ErrorHandlerMessageKv_Pro(const ObjectRef& app, const ObjectRef& errorObject,
                               const String& text3, const String& location,
                               const int32_t& number5, const String& text6,
                               const int32_t& number7, Variant optional8 = Variant::missing());

// Shows the about box of the library through KvMarrow10.clsKvMarrow10A.
// Its own failures are reported and passed over; a failing report ends it
// and reaches the caller.
void AppAboutKvcore_Pro();

}  // namespace skein10

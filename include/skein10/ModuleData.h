#pragma once
// Module-level data, one copy per thread: created empty (Empty) on the
// thread's first use and released when the thread ends.

#include <string_view>

#include "skein10/Variant.h"
#include "skein10/Export.h"

namespace skein10 {

// This thread's value of the module variable `name` (for example
// "basKvSkein10A.BuddyObject"). The reference stays valid until the thread
// ends or releaseModuleData() drops it.
SKEIN10_API Variant& moduleData(std::string_view name);

// Drops this thread's variables whose names start with `prefix`, releasing
// what they hold (a component does this before it is unloaded).
SKEIN10_API void releaseModuleData(std::string_view prefix);

}  // namespace skein10

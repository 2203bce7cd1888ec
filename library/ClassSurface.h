#pragma once
// The library's public surface: its five classes with their ProgIDs, class
// identifiers and factories, and the in-process server over them.

#include <vector>

#include "skein10/ClassRegistry.h"
#include "platform/automation/ComponentServer.h"

namespace skein10 {

// The five public classes, in the order of the type library.
const std::vector<ClassEntry>& publicClasses();

// The in-process server that the entry points of libskein10.so call.
ComponentServer& classSurface();

}  // namespace skein10

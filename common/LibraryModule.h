#pragma once
// What keeps the library loaded: its live objects (those its class factory
// created and those it keeps itself, such as the application object) and the
// hosts' locks.

#include "skein10/Component.h"

namespace skein10 {

ModuleUsage& libraryModule();

}  // namespace skein10

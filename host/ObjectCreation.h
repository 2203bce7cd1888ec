#pragma once
// Creating a component by ProgID for a command, with an error 429 that says
// why: which ProgID, the registration store that was searched, and when a
// library is registered for it, why that library could not be used.

#include "skein10/Object.h"
#include "skein10/String.h"

namespace skein10::host {

// CreateObject(progId); a failure stays error 429 with the reasons added to
// its description and the advice to run `skein10 register`.
ObjectRef createObject(StringView progId);

}  // namespace skein10::host

#pragma once
// The calling thread's error info: where a failed member call leaves its error.

#include <optional>

#include "skein10/Error.h"
#include "skein10/Export.h"

namespace skein10 {

SKEIN10_API void setErrorInfo(const Error& error);
SKEIN10_API void clearErrorInfo();
// The error left by the last failed call on this thread, if any.
SKEIN10_API std::optional<Error> errorInfo();

}  // namespace skein10

#pragma once
// The calling thread's error info: where a failed member call leaves its error.

#include <optional>

#include "skein10/Error.h"

namespace skein10 {

void setErrorInfo(const Error& error);
void clearErrorInfo();
// The error left by the last failed call on this thread, if any.
std::optional<Error> errorInfo();

}  // namespace skein10

#include "python/PendingException.h"

#include <optional>

namespace skein10::python {
namespace {

// Held and dropped with the GIL only.
thread_local std::optional<py::error_already_set> pending;

// The number of the runtime's "interrupted" error; no caller sees it, since
// the kept Python exception replaces it.
constexpr int32_t kInterrupted = 18;

}  // namespace

Error PendingException::keepCurrent() {
  pending.emplace();  // fetches and clears the exception now set
  return Error(kInterrupted, kRuntimeSource, u"Interrupted by the Python host");
}

void PendingException::raiseIfAny() {
  if (!pending) return;
  py::error_already_set exception = std::move(*pending);
  pending.reset();
  throw exception;
}

}  // namespace skein10::python

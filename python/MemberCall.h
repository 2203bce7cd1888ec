#pragma once
// The one way this module calls into the runtime: the GIL released for the
// whole call (so other Python threads run while a member waits), Ctrl-C
// looked for while the main thread waits, and afterwards the Python
// exception that a callback raised meanwhile, or else the runtime's error,
// raised to the caller.

#include <pybind11/pybind11.h>

#include <functional>
#include <vector>

#include "skein10/Object.h"
#include "skein10/Variant.h"

namespace skein10::python {

namespace py = pybind11;

// Runs `body`, which throws skein10::Error on failure, as described above.
void runWaiting(const std::function<void()>& body);

// A late-bound call of the member `id` as `kind`, its result as a Python value.
py::object invokeMember(const ObjectRef& object, DispId id, InvokeKind kind, std::vector<Variant> args);

}  // namespace skein10::python

#pragma once
// A Python exception raised inside a member's wait (by a callback of
// skein10.every, or Ctrl-C's KeyboardInterrupt), kept on its thread while the
// member unwinds, then raised to the member's caller unchanged.

#include <pybind11/pybind11.h>

#include "skein10/Error.h"

namespace skein10::python {

namespace py = pybind11;

class PendingException {
 public:
  // Keeps the Python exception now set (GIL held) and returns the runtime
  // error that ends the waiting member; the caller throws it.
  static Error keepCurrent();
  // Raises the kept exception, if there is one (GIL held).
  static void raiseIfAny();
};

}  // namespace skein10::python

#pragma once
// A runtime error as the Python exception a caller catches: skein10.Error
// with number, source, description, reply and command, of the subclass that
// the error's cause (skein10::Failure) selects, so that `except TimeoutError`
// and the like work (the table is in skein10/_errors.py).

#include <pybind11/pybind11.h>

#include "skein10/Error.h"

namespace skein10::python {

[[noreturn]] void raiseError(const Error& error);

}  // namespace skein10::python

#pragma once
// Values between Python and the runtime: text both ways (lone surrogates
// kept, so a file name that is not valid UTF-8 keeps its bytes), Variants
// both ways, and the strict check of an argument against its parameter's type.

#include <pybind11/pybind11.h>

#include <string>

#include "skein10/String.h"
#include "skein10/TypeInfo.h"
#include "skein10/Variant.h"

namespace skein10::python {

namespace py = pybind11;

// A Python str as 16-bit text; a lone surrogate stays one 16-bit unit.
String toText(py::handle text);
// 16-bit text as a Python str; pairs join, a lone surrogate stays itself.
py::str fromText(StringView text);

// Any Python value as a Variant: None, bool (before int), int (32-bit, else
// OverflowError), float, str, os.PathLike, bytes-like, list or tuple, an
// object of this module; anything else raises TypeError.
Variant toVariant(py::handle value);
// A Variant as a Python value; an object comes back wrapped.
py::object fromVariant(const Variant& value);

// The value for one parameter, checked before the member runs: TypeError for
// a value of the wrong kind, OverflowError for a number out of the range of
// a Long (32-bit) or an Integer (16-bit). `what` names the parameter in the
// message.
Variant toParameter(py::handle value, VarType type, const std::string& what);

}  // namespace skein10::python

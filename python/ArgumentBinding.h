#pragma once
// A Python call's arguments for one member, by position or by parameter name
// (the names the type information publishes, compared without regard to
// case). A wrong count, an unknown or doubled keyword raise TypeError; each
// value is checked against its parameter's type before the member runs.

#include <pybind11/pybind11.h>

#include <vector>

#include "skein10/TypeInfo.h"
#include "skein10/Variant.h"

namespace skein10::python {

std::vector<Variant> bindArguments(const MemberInfo& member, const pybind11::args& args,
                                   const pybind11::kwargs& kwargs);

}  // namespace skein10::python

#pragma once
// skein10.BoundMember: a method, or a property that takes parameters, of one
// object, read but not yet called. Calling it passes its arguments by
// position or by parameter name.

#include <pybind11/pybind11.h>

#include <string>

#include "skein10/Object.h"
#include "skein10/TypeInfo.h"

namespace skein10::python {

namespace py = pybind11;

class BoundMember {
 public:
  // `owner` is the skein10.Object the member was read from.
  BoundMember(py::object owner, const MemberInfo& member, InvokeKind kind);

  static void define(py::module_& module);

  py::object call(const py::args& args, const py::kwargs& kwargs);
  // "GetFile(RemoteFileName: String, LocalFileName: String) -> String"
  std::string signature() const;

 private:
  py::object owner_;
  const MemberInfo* member_;  // in the class's static table, alive while its library is loaded
  InvokeKind kind_;
};

}  // namespace skein10::python

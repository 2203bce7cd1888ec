// The compiled part of the Python package skein10: creation by ProgID,
// skein10.Object and its bound members, skein10.every and skein10.pump, and
// the type information as data for the package's tests.

#include <pybind11/pybind11.h>

#include "python/BoundMember.h"
#include "python/DispatchObject.h"
#include "python/InterruptCheck.h"
#include "python/MemberCall.h"
#include "python/PeriodicCallback.h"
#include "python/ValueConversion.h"
#include "skein10/ClassRegistry.h"
#include "skein10/Events.h"

namespace skein10::python {
namespace {

py::object create(const py::str& progId) {
  const String name = toText(progId);
  ObjectRef object;
  runWaiting([&] { object = CreateObject(name); });
  return DispatchObject::wrap(std::move(object));
}

void pump() {
  runWaiting([] { DoEvents(); });
}

// The object's type information: its interface and, per member, the kind,
// the dispatch id, the parameters (name, type, by reference, optional) and
// the result type, types named as the runtime names them.
py::dict typeInfo(const DispatchObject& wrapper) {
  const InterfaceInfo& info = wrapper.object()->interfaceInfo();
  py::list members;
  for (const MemberInfo& m : info.members) {
    py::list params;
    for (const ParamInfo& p : m.params)
      params.append(py::make_tuple(fromText(p.name), fromText(typeName(p.type)), p.passing == Passing::ByReference,
                                   p.optional));
    py::dict member;
    member["name"] = fromText(m.name);
    member["kind"] = memberKindName(m.kind);
    member["id"] = m.id;
    member["params"] = params;
    member["result"] = fromText(typeName(m.result));
    members.append(member);
  }
  py::dict result;
  result["name"] = fromText(info.name);
  result["iid"] = fromText(info.iid);
  result["members"] = members;
  return result;
}

}  // namespace
}  // namespace skein10::python

PYBIND11_MODULE(_skein10, module) {
  using namespace skein10::python;
  module.doc() = "The compiled part of skein10; use the package skein10.";
  InterruptCheck::noteMainThread();
  DispatchObject::define(module);
  BoundMember::define(module);
  PeriodicCallback::define(module);
  module.def("create", &create, py::arg("progid"));
  module.def("pump", &pump);
  module.def("type_info", &typeInfo, py::arg("object"));
}

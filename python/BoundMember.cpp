#include "python/BoundMember.h"

#include "python/ArgumentBinding.h"
#include "python/DispatchObject.h"
#include "python/MemberCall.h"

namespace skein10::python {

BoundMember::BoundMember(py::object owner, const MemberInfo& member, InvokeKind kind)
    : owner_(std::move(owner)), member_(&member), kind_(kind) {}

py::object BoundMember::call(const py::args& args, const py::kwargs& kwargs) {
  DispatchObject& owner = owner_.cast<DispatchObject&>();
  owner.requireOwnThread();
  std::vector<Variant> values = bindArguments(*member_, args, kwargs);
  try {
    py::object result = invokeMember(owner.object(), member_->id, kind_, std::move(values));
    owner.noteCall(*member_, true);
    return result;
  } catch (...) {
    owner.noteCall(*member_, false);
    throw;
  }
}

std::string BoundMember::signature() const {
  std::string text = toUtf8(member_->name) + "(";
  for (std::size_t i = 0; i < member_->params.size(); ++i) {
    const ParamInfo& p = member_->params[i];
    if (i) text += ", ";
    text += (p.name.empty() ? "value" : toUtf8(p.name)) + ": " + toUtf8(typeName(p.type));
    if (p.optional) text += " = <missing>";
  }
  text += ")";
  if (member_->result != VarType::Empty) text += " -> " + toUtf8(typeName(member_->result));
  return text;
}

void BoundMember::define(py::module_& module) {
  py::class_<BoundMember>(module, "BoundMember",
                          "A method, or a property with parameters, of a skein10.Object; call it to run it.")
      .def("__call__", &BoundMember::call)
      .def_property_readonly("name", [](const BoundMember& m) { return toUtf8(m.member_->name); })
      .def("__repr__", [](const BoundMember& m) { return "<skein10 member " + m.signature() + ">"; });
}

}  // namespace skein10::python

#include "python/DispatchObject.h"

#include "python/BoundMember.h"
#include "python/ErrorTranslation.h"
#include "python/MemberCall.h"
#include "python/MemberLookup.h"
#include "python/ValueConversion.h"
#include "skein10/Error.h"

namespace skein10::python {
namespace {

// The members `with` looks for: a session's log-in and its end.
constexpr char16_t kConnect[] = u"connect";
constexpr char16_t kDisconnect[] = u"disconnect";
constexpr char16_t kCount[] = u"Count";
constexpr char16_t kItem[] = u"Item";

[[noreturn]] void noAttribute(const std::string& message) { throw py::attribute_error(message); }

bool isDunder(const std::string& name) { return name.size() > 4 && name.rfind("__", 0) == 0; }

}  // namespace

DispatchObject::DispatchObject(ObjectRef object) : object_(std::move(object)), home_(std::this_thread::get_id()) {}

py::object DispatchObject::wrap(ObjectRef object) {
  if (!object) return py::none();
  return py::cast(DispatchObject(std::move(object)));
}

void DispatchObject::requireOwnThread() const {
  if (std::this_thread::get_id() != home_) raiseError(Error::runtime(errc::WrongThread));
}

void DispatchObject::noteCall(const MemberInfo& member, bool succeeded) {
  const String name = foldCase(member.name);
  if (name == kConnect && succeeded) connected_ = true;
  if (name == kDisconnect) connected_ = false;
}

py::object DispatchObject::attribute(py::object self, const std::string& name) {
  if (isDunder(name)) noAttribute("'skein10.Object' has no attribute '" + name + "'");
  requireOwnThread();
  const InterfaceInfo& info = object_->interfaceInfo();
  const auto found = membersNamed(info, fromUtf8(name));
  if (!found) noAttribute(toUtf8(info.name) + " has no member '" + name + "'");
  if (found->isValue()) return invokeMember(object_, found->id, InvokeKind::Get, {});
  if (found->method) return py::cast(BoundMember(self, *found->method, InvokeKind::Method));
  if (found->get) return py::cast(BoundMember(self, *found->get, InvokeKind::Get));
  noAttribute("the member '" + name + "' of " + toUtf8(info.name) + " can only be assigned");
}

void DispatchObject::assign(const std::string& name, py::handle value) {
  requireOwnThread();
  const InterfaceInfo& info = object_->interfaceInfo();
  const auto found = membersNamed(info, fromUtf8(name));
  if (!found) noAttribute(toUtf8(info.name) + " has no member '" + name + "'");
  const bool objectValue = value.is_none() || py::isinstance<DispatchObject>(value);
  const MemberInfo* target = objectValue ? (found->set ? found->set : found->let) : (found->let ? found->let : found->set);
  if (!target) noAttribute("the member '" + name + "' of " + toUtf8(info.name) + " is read-only");
  const InvokeKind kind = target == found->set ? InvokeKind::Set : InvokeKind::Let;
  const VarType type = target->params.empty() ? VarType::Variant : target->params.back().type;
  std::vector<Variant> args{toParameter(value, type, name)};
  invokeMember(object_, found->id, kind, std::move(args));
}

py::list DispatchObject::names() const {
  py::list list;
  for (const String& name : memberNames(object_->interfaceInfo())) list.append(fromText(name));
  return list;
}

std::string DispatchObject::repr() const { return "<skein10.Object " + toUtf8(object_->interfaceInfo().name) + ">"; }

// Disconnects a connected session. The block's own exception is never
// hidden: a failing Disconnect then gives way to it.
bool DispatchObject::exit(py::handle type) {
  if (!connected_) return false;
  connected_ = false;
  const auto found = membersNamed(object_->interfaceInfo(), kDisconnect);
  if (!found || !found->method) return false;
  try {
    invokeMember(object_, found->id, InvokeKind::Method, {});
  } catch (const py::error_already_set&) {
    if (type.is_none()) throw;
  }
  return false;
}

py::object DispatchObject::countValue() {
  const auto count = membersNamed(object_->interfaceInfo(), kCount);
  const auto item = membersNamed(object_->interfaceInfo(), kItem);
  if (!count || !count->isValue() || !item || !(item->method || item->get))
    throw py::type_error(toUtf8(object_->interfaceInfo().name) + " is not a collection");
  return invokeMember(object_, count->id, InvokeKind::Get, {});
}

py::object DispatchObject::itemValue(const Variant& index) {
  const auto item = membersNamed(object_->interfaceInfo(), kItem);
  return invokeMember(object_, item->id, InvokeKind::Method | InvokeKind::Get, {index});
}

std::size_t DispatchObject::length() {
  requireOwnThread();
  return countValue().cast<std::size_t>();
}

// c[1] is the first item, as Item(1); c["key"] the item under that key. A
// position outside 1..len(c) raises IndexError, a key not there KeyError.
py::object DispatchObject::item(py::handle index) {
  requireOwnThread();
  const auto count = countValue().cast<long long>();
  if (py::isinstance<py::int_>(index) && !py::isinstance<py::bool_>(index)) {
    const long long position = index.cast<long long>();
    if (position < 1 || position > count) throw py::index_error("collection position out of range (1 to " + std::to_string(count) + ")");
    return itemValue(Variant(static_cast<int32_t>(position)));
  }
  if (!py::isinstance<py::str>(index)) throw py::type_error("a collection is indexed by an int position or a str key");
  try {
    return itemValue(Variant(toText(index)));
  } catch (py::error_already_set& e) {
    if (!e.matches(py::module_::import("skein10._errors").attr("Error"))) throw;
    throw py::key_error(py::repr(index).cast<std::string>());
  }
}

py::iterator DispatchObject::iterate() {
  requireOwnThread();
  const auto count = countValue().cast<int32_t>();
  py::list items;
  for (int32_t i = 1; i <= count; ++i) items.append(itemValue(Variant(i)));
  return py::iter(items);
}

void DispatchObject::define(py::module_& module) {
  py::class_<DispatchObject>(module, "Object",
                             "A component object; its attributes are its members (see dir()).")
      .def("__getattr__",
           [](py::object self, const std::string& name) { return self.cast<DispatchObject&>().attribute(self, name); })
      .def("__setattr__", &DispatchObject::assign)
      .def("__dir__", &DispatchObject::names)
      .def("__repr__", &DispatchObject::repr)
      .def("__bool__", [](const DispatchObject&) { return true; })
      .def("__eq__", [](const DispatchObject& a, py::handle b) {
        return py::isinstance<DispatchObject>(b) && a.object_.get() == b.cast<const DispatchObject&>().object_.get();
      })
      .def("__hash__", [](const DispatchObject& o) { return std::hash<const Object*>()(o.object_.get()); })
      .def("__enter__", [](py::object self) { return self; })
      .def("__exit__", [](DispatchObject& o, py::handle type, py::handle, py::handle) { return o.exit(type); })
      .def("__len__", &DispatchObject::length)
      .def("__getitem__", &DispatchObject::item)
      .def("__iter__", &DispatchObject::iterate);
}

}  // namespace skein10::python

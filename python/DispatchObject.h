#pragma once
// skein10.Object: a component object as Python sees it. Its attributes are
// the members its type information publishes, classified from that
// information, never by trying:
//  - reading a property without parameters returns its value;
//  - reading a method, or a property that takes parameters, returns a
//    skein10.BoundMember and calls nothing;
//  - assigning uses the let for a value and the set for an object (or None);
//  - an unknown name, or assigning a member without let or set, raises
//    AttributeError; no Python attribute is ever created.
// Names compare without regard to case. An object that has Count and Item
// members is also a collection: len(), iteration in order, c[1] (one-based)
// and c["key"]. `with` disconnects, at the end of the block, an object whose
// Connect succeeded and whose Disconnect was not called since.
//
// One object, one thread: the thread that received the object is the only
// one that may use it; any other raises skein10.WrongThreadError at once.

#include <pybind11/pybind11.h>

#include <string>
#include <thread>

#include "skein10/Object.h"
#include "skein10/TypeInfo.h"

namespace skein10::python {

namespace py = pybind11;

class DispatchObject {
 public:
  explicit DispatchObject(ObjectRef object);

  // The wrapped object, or None for nothing.
  static py::object wrap(ObjectRef object);
  static void define(py::module_& module);

  const ObjectRef& object() const { return object_; }
  // Raises skein10.WrongThreadError on any other thread than the object's.
  void requireOwnThread() const;
  // A call of `member` through a bound member ended (for `with`).
  void noteCall(const MemberInfo& member, bool succeeded);

 private:
  py::object attribute(py::object self, const std::string& name);
  void assign(const std::string& name, py::handle value);
  py::list names() const;
  std::string repr() const;

  bool exit(py::handle type);

  // The collection protocol, over the members Count and Item.
  std::size_t length();
  py::object item(py::handle index);
  py::iterator iterate();
  py::object countValue();
  py::object itemValue(const Variant& index);

  ObjectRef object_;
  std::thread::id home_;
  bool connected_ = false;
};

}  // namespace skein10::python

#pragma once
// The texts the build writes into the package skein10: _typelib.py (the
// library's version, enumerations and classes as data) and the typing stubs
// __init__.pyi: every class with its members (a property as an attribute, a
// read-only one as a property, a method or a property with parameters as a
// method with its parameters' names and types) and Dispatch overloads on the
// classes' ProgIDs.

#include <string>
#include <vector>

#include "python/TypeLibraryRecord.h"
#include "skein10/Object.h"
#include "skein10/TypeInfo.h"

namespace skein10::python {

struct ClassStub {
  std::string name;  // the class's name, the stub class's name too
  String progId;
  ObjectRef probe;   // an instance: its type information is the class's

  const InterfaceInfo& info() const { return probe->interfaceInfo(); }
};

class StubWriter {
 public:
  static std::string typeLibraryModule(const TypeLibraryRecord& record, const std::string& version);
  // The template with its lines "# @ENUMERATIONS@", "# @CLASSES@" and
  // "# @DISPATCH@" replaced.
  static std::string stubs(const std::string& stubTemplate, const TypeLibraryRecord& record,
                           const std::vector<ClassStub>& classes);
};

}  // namespace skein10::python

#pragma once
// The type library record that the library keeps among its resources
// ("TYPELIB" 1), read: its name, its enumerations and its classes in order.
// Lines look like
//   library Skein10 1.0 {...}
//   enum TransferModes {...} ftp_BINARY=0 ftp_ASCII=1
//   class clsKvSkein10A {...} creatable default _clsKvSkein10A
// and the interface and member lines that follow a class are not needed here
// (the generator reads each class's own type information instead).

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "skein10/String.h"

namespace skein10::python {

struct TypeLibraryRecord {
  struct Enumeration {
    std::string name;
    std::vector<std::pair<std::string, int32_t>> members;
  };
  struct Class {
    std::string name;  // "clsKvSkein10A"
    String progId;     // the library's name, "." and the class's name
  };

  std::string name;
  std::vector<Enumeration> enumerations;
  std::vector<Class> classes;

  // Throws std::runtime_error for a record without its library line.
  static TypeLibraryRecord parse(const std::string& text);
};

}  // namespace skein10::python

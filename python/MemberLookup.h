#pragma once
// What one name reaches on an interface, read from its type information:
// the get, let, set and method rows that share the name's dispatch id.

#include <optional>
#include <vector>

#include "skein10/TypeInfo.h"

namespace skein10::python {

struct Members {
  DispId id = 0;
  const MemberInfo* get = nullptr;
  const MemberInfo* let = nullptr;
  const MemberInfo* set = nullptr;
  const MemberInfo* method = nullptr;

  // A property read with no parameters to pass: reading it calls it.
  bool isValue() const { return get && get->requiredParams() == 0 && get->params.empty(); }
};

// Names compare without regard to case; nothing for a name the interface
// does not have.
std::optional<Members> membersNamed(const InterfaceInfo& info, StringView name);

// Each member name once, in interface order.
std::vector<String> memberNames(const InterfaceInfo& info);

}  // namespace skein10::python

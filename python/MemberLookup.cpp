#include "python/MemberLookup.h"

#include <algorithm>

namespace skein10::python {

std::optional<Members> membersNamed(const InterfaceInfo& info, StringView name) {
  const auto id = info.idOfName(name);
  if (!id) return std::nullopt;
  Members found;
  found.id = *id;
  found.get = info.find(*id, InvokeKind::Get);
  found.let = info.find(*id, InvokeKind::Let);
  found.set = info.find(*id, InvokeKind::Set);
  found.method = info.find(*id, InvokeKind::Method);
  return found;
}

std::vector<String> memberNames(const InterfaceInfo& info) {
  std::vector<String> names;
  for (const MemberInfo& m : info.members)
    if (std::find(names.begin(), names.end(), m.name) == names.end()) names.push_back(m.name);
  return names;
}

}  // namespace skein10::python

#include "skein10/TypeInfo.h"

#include "platform/automation/TextFold.h"

namespace skein10 {
namespace {

bool answers(MemberKind member, InvokeKind call) {
  switch (member) {
    case MemberKind::Method: return hasKind(call, InvokeKind::Method);
    case MemberKind::Get: return hasKind(call, InvokeKind::Get);
    case MemberKind::Let: return hasKind(call, InvokeKind::Let);
    case MemberKind::Set: return hasKind(call, InvokeKind::Set);
  }
  return false;
}

}  // namespace

const char* memberKindName(MemberKind kind) {
  switch (kind) {
    case MemberKind::Get: return "get";
    case MemberKind::Let: return "let";
    case MemberKind::Set: return "set";
    case MemberKind::Method: return "method";
  }
  return "method";
}

std::size_t MemberInfo::requiredParams() const {
  std::size_t n = 0;
  while (n < params.size() && !params[n].optional) ++n;
  return n;
}

const MemberInfo* InterfaceInfo::find(DispId id, InvokeKind kind) const {
  for (const MemberInfo& m : members)
    if (m.id == id && answers(m.kind, kind)) return &m;
  return nullptr;
}

bool InterfaceInfo::hasId(DispId id) const {
  for (const MemberInfo& m : members)
    if (m.id == id) return true;
  return false;
}

std::optional<DispId> InterfaceInfo::idOfName(StringView name) const {
  for (const MemberInfo& m : members)
    if (sameFolded(m.name, name)) return m.id;
  return std::nullopt;
}

}  // namespace skein10

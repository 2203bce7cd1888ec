#include "platform/automation/ErrObject.h"

namespace skein10 {

Status ErrObject::get_Number(int32_t* result) {
  return guarded(result, [&] { return error_.number(); });
}

Status ErrObject::get_Source(String* result) {
  return guarded(result, [&] { return error_.source(); });
}

Status ErrObject::get_Description(String* result) {
  return guarded(result, [&] { return error_.description(); });
}

const InterfaceInfo& ErrObject::interfaceInfo() const {
  static const InterfaceInfo info{
      u"ErrObject",
      u"{6B1E0A40-5C3D-4E8F-9A21-0F0D3C2B1A11}",
      {
          member<&ErrObject::get_Number>(u"Number", MemberKind::Get, 0),
          member<&ErrObject::get_Source>(u"Source", MemberKind::Get, 1),
          member<&ErrObject::get_Description>(u"Description", MemberKind::Get, 2),
      }};
  return info;
}

}  // namespace skein10

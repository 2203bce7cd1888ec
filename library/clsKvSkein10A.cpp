#include "library/clsKvSkein10A.h"

#include "skein10/Identifiers.h"
#include "common/App.h"
#include "common/basKvcoreCommonA.h"
#include "library/ResourceTable.h"
#include "library/basKvSkein10A.h"

namespace skein10 {

Status clsKvSkein10A::get_GetProStdProperties(ObjectRef* result) {
  return guarded(result, [] { return theApp(); });
}

Status clsKvSkein10A::get_GetProResStrings(const int32_t& lResId, String* result) {
  return guarded(result, [&] { return LoadResString(lResId); });
}

Status clsKvSkein10A::get_GetProResPicture(const int32_t& lResId, const LoadResConstants& lRestype,
                                           ObjectRef* result) {
  return guarded(result, [&] {
    const int16_t kind = Variant(static_cast<int32_t>(lRestype)).toInteger();  // 6 beyond 16 bits
    return LoadResPicture(Variant(lResId), kind);
  });
}

Status clsKvSkein10A::get_GetProResData(const int32_t& lResId, const Variant& vRestype,
                                        Variant* result) {
  return guarded(result, [&] { return LoadResData(Variant(lResId), vRestype); });
}

Status clsKvSkein10A::About(int32_t* result) {
  return guarded(result, [] {
    AppAboutKvcore_Pro();
    return int32_t(0);
  });
}

Status clsKvSkein10A::get_BuddyObjectGlobal(ObjectRef* result) {
  return guarded(result, [] { return basKvSkein10A::BuddyObject(); });
}

Status clsKvSkein10A::putref_BuddyObjectGlobal(ObjectRef value) {
  return guarded([&] { basKvSkein10A::SetBuddyObject(std::move(value)); });
}

const InterfaceInfo& clsKvSkein10A::interfaceInfo() const {
  using P = Passing;
  static const InterfaceInfo info{
      u"_clsKvSkein10A",
      ids::kIidClsKvSkein10A,
      {
          member<&_clsKvSkein10A::get_GetProStdProperties>(u"GetProStdProperties", MemberKind::Get,
                                                            0x68030004),
          member<&_clsKvSkein10A::get_GetProResStrings>(u"GetProResStrings", MemberKind::Get,
                                                         0x68030003, {{u"lResId", P::ByReference}}),
          member<&_clsKvSkein10A::get_GetProResPicture>(u"GetProResPicture", MemberKind::Get,
                                                         0x68030002,
                                                         {{u"lResId", P::ByReference}, {u"lRestype", P::ByReference}}),
          member<&_clsKvSkein10A::get_GetProResData>(u"GetProResData", MemberKind::Get, 0x68030001,
                                                      {{u"lResId", P::ByReference}, {u"vRestype", P::ByReference}}),
          member<&_clsKvSkein10A::About>(u"About", MemberKind::Method, 0x60030006),
          member<&_clsKvSkein10A::get_BuddyObjectGlobal>(u"BuddyObjectGlobal", MemberKind::Get,
                                                          0x68030000),
          member<&_clsKvSkein10A::putref_BuddyObjectGlobal>(u"BuddyObjectGlobal", MemberKind::Set,
                                                             0x68030000),
      }};
  return info;
}

}  // namespace skein10

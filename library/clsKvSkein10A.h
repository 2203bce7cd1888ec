#pragma once
// The library's own object: its application object, its resources, the
// framework's about box and the per-thread buddy slot. It has no state of its
// own.

#include "skein10/_clsKvSkein10A.h"
#include "skein10/TypeInfo.h"

namespace skein10 {

class clsKvSkein10A final : public _clsKvSkein10A {
 public:
  const InterfaceInfo& interfaceInfo() const override;

  Status get_GetProStdProperties(ObjectRef* result) override;
  Status get_GetProResStrings(const int32_t& lResId, String* result) override;
  Status get_GetProResPicture(const int32_t& lResId, const LoadResConstants& lRestype,
                              ObjectRef* result) override;
  Status get_GetProResData(const int32_t& lResId, const Variant& vRestype, Variant* result) override;
  Status About(int32_t* result) override;
  Status get_BuddyObjectGlobal(ObjectRef* result) override;
  Status putref_BuddyObjectGlobal(ObjectRef value) override;
};

}  // namespace skein10

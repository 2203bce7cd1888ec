#pragma once
// The library object's interface, in interface order.

#include "skein10/Enums.h"
#include "skein10/Object.h"
#include "skein10/Variant.h"
#include "skein10/Export.h"

namespace skein10 {

class SKEIN10_API _clsKvSkein10A : public Object {
 public:
  virtual Status get_GetProStdProperties(ObjectRef* result) = 0;
  virtual Status get_GetProResStrings(const int32_t& lResId, String* result) = 0;
  virtual Status get_GetProResPicture(const int32_t& lResId, const LoadResConstants& lRestype,
                                      ObjectRef* result) = 0;
  virtual Status get_GetProResData(const int32_t& lResId, const Variant& vRestype, Variant* result) = 0;
  virtual Status About(int32_t* result) = 0;
  virtual Status get_BuddyObjectGlobal(ObjectRef* result) = 0;
  virtual Status putref_BuddyObjectGlobal(ObjectRef value) = 0;
};

}  // namespace skein10

#pragma once
// A creatable class without members: creating, holding and releasing it has
// no effect, and every call on it fails with 438.

#include "skein10/_clsKvInetGeneralA.h"
#include "skein10/TypeInfo.h"

namespace skein10 {

class clsKvInetGeneralA final : public _clsKvInetGeneralA {
 public:
  const InterfaceInfo& interfaceInfo() const override;
};

}  // namespace skein10

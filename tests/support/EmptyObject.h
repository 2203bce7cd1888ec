#pragma once
// A runtime object without members, for tests that only need something to
// hold, count and pass around.

#include "skein10/Object.h"
#include "skein10/TypeInfo.h"

namespace skein10::test_support {

class EmptyObject final : public Object {
 public:
  const InterfaceInfo& interfaceInfo() const override {
    static const InterfaceInfo info{u"_EmptyObject", u"", {}};
    return info;
  }
};

}  // namespace skein10::test_support

#include "library/clsKvInetAdvancedA.h"

#include "skein10/Identifiers.h"

namespace skein10 {

const InterfaceInfo& clsKvInetAdvancedA::interfaceInfo() const {
  static const InterfaceInfo info{u"_clsKvInetAdvancedA", ids::kIidClsKvInetAdvancedA, {}};
  return info;
}

}  // namespace skein10

#include "library/clsKvInetGeneralA.h"

#include "skein10/Identifiers.h"

namespace skein10 {

const InterfaceInfo& clsKvInetGeneralA::interfaceInfo() const {
  static const InterfaceInfo info{u"_clsKvInetGeneralA", ids::kIidClsKvInetGeneralA, {}};
  return info;
}

}  // namespace skein10

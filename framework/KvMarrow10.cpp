#include "framework/KvMarrow10.h"

#include "framework/clsKvMarrow10A.h"
#include "framework/clsKvcoreErrorHandlerA.h"

namespace {

template <class T>
skein10::ClassEntry entry(const char16_t* progId, const char16_t* classId) {
  return {progId, classId, [] { return skein10::ObjectRef(skein10::makeRef<T>()); }};
}

}  // namespace

const std::vector<skein10::ClassEntry>& kvmarrow10Classes() {
  static const std::vector<skein10::ClassEntry> classes{
      entry<kvmarrow10::clsKvcoreErrorHandlerA>(u"KvMarrow10.clsKvcoreErrorHandlerA",
                                                u"{6B1E0A40-5C3D-4E8F-9A21-0F0D3C2B1B10}"),
      entry<kvmarrow10::clsKvMarrow10A>(u"KvMarrow10.clsKvMarrow10A",
                                        u"{6B1E0A40-5C3D-4E8F-9A21-0F0D3C2B1B11}"),
  };
  return classes;
}

void registerKvMarrow10Classes() {
  for (const auto& entry : kvmarrow10Classes()) skein10::registerClass(entry);
}

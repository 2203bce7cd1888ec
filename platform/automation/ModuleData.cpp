#include "skein10/ModuleData.h"

#include <map>
#include <string>

namespace skein10 {
namespace {

// One map per thread; it and every value in it are released when the thread
// ends. Values are Variants so that releasing them needs no code of the
// component that stored them.
thread_local std::map<std::string, Variant, std::less<>> tlsModuleData;

}  // namespace

Variant& moduleData(std::string_view name) {
  auto it = tlsModuleData.find(name);
  if (it == tlsModuleData.end()) it = tlsModuleData.emplace(std::string(name), Variant()).first;
  return it->second;
}

void releaseModuleData(std::string_view prefix) {
  for (auto it = tlsModuleData.lower_bound(prefix);
       it != tlsModuleData.end() && std::string_view(it->first).starts_with(prefix);) {
    // Release outside the map: the released object may use module data itself.
    Variant released = std::move(it->second);
    it = tlsModuleData.erase(it);
  }
}

}  // namespace skein10

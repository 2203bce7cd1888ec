#pragma once
// Creation by ProgID from the registration store: the class's library is
// loaded by path (once), its DllGetClassObject hands out the factory, and the
// factory creates the instance.

#include <map>
#include <memory>
#include <mutex>
#include <optional>

#include "skein10/ClassRegistry.h"
#include "skein10/Component.h"
#include "platform/automation/LoadedLibrary.h"
#include "platform/Export.h"

namespace skein10 {

class SKEIN10_INTERNAL_API StoreClassSource final : public ClassSource {
 public:
  ObjectRef create(StringView progId) override;
  // Unloads the libraries whose DllCanUnloadNow answers yes.
  int freeUnused();

  // The source CreateObject consults after the classes registered in process.
  static const std::shared_ptr<StoreClassSource>& instance();

  static std::optional<RegisteredClass> lookUp(StringView progId);

 private:
  std::shared_ptr<LoadedLibrary> load(const std::filesystem::path& library);

  std::mutex mutex_;
  std::map<std::filesystem::path, std::shared_ptr<LoadedLibrary>> loaded_;
};

}  // namespace skein10

#include "platform/automation/StoreClassSource.h"

#include "skein10/Boundary.h"
#include "platform/automation/RegistrationStore.h"

namespace skein10 {

const std::shared_ptr<StoreClassSource>& StoreClassSource::instance() {
  static const auto source = std::make_shared<StoreClassSource>();
  return source;
}

namespace {

// What one store says of the ProgID; a library path relative to the store is
// made absolute from the store's folder.
std::optional<RegisteredClass> lookUpIn(const std::filesystem::path& store, StringView progId) {
  if (store.empty()) return std::nullopt;
  const auto entries = RegistrationStore(store).read();
  const std::string wanted = toUtf8(foldCase(progId)) + "\\clsid";
  for (const auto& [key, classId] : entries) {
    if (toUtf8(foldCase(fromUtf8(key))) != wanted) continue;
    auto server = entries.find("CLSID\\" + classId + "\\InProcessServer");
    if (server == entries.end()) return std::nullopt;
    std::filesystem::path library = server->second;
    if (library.is_relative()) library = (store.parent_path() / library).lexically_normal();
    return RegisteredClass{fromUtf8(classId), library, store};
  }
  return std::nullopt;
}

}  // namespace

// The user's store first, so that its entries win.
std::optional<RegisteredClass> StoreClassSource::lookUp(StringView progId) {
  for (const auto& store : {registryPath(), installedRegistryPath()})
    if (auto found = lookUpIn(store, progId)) return found;
  return std::nullopt;
}

std::shared_ptr<LoadedLibrary> StoreClassSource::load(const std::filesystem::path& library) {
  std::lock_guard lock(mutex_);
  auto& slot = loaded_[library];
  if (!slot) slot = std::make_shared<LoadedLibrary>(library);
  return slot;
}

ObjectRef StoreClassSource::create(StringView progId) {
  const auto server = lookUp(progId);
  if (!server) return ObjectRef();
  const auto library = load(server->library);
  const auto getClassObject = library->entryPoint<DllGetClassObjectFn>("DllGetClassObject");
  Ref<ClassFactory> factory;
  check(getClassObject(server->classId.c_str(), &factory));
  ObjectRef object;
  check(factory->CreateInstance(&object));
  return object;
}

// A library that a create() on another thread still holds (its object may
// not exist yet, so the library can't count it) stays loaded.
int StoreClassSource::freeUnused() {
  std::lock_guard lock(mutex_);
  int unloaded = 0;
  for (auto it = loaded_.begin(); it != loaded_.end();) {
    const auto canUnload = it->second->entryPoint<DllCanUnloadNowFn>("DllCanUnloadNow");
    if (it->second.use_count() == 1 && canUnload() == Status::Ok) {
      it = loaded_.erase(it);
      ++unloaded;
    } else {
      ++it;
    }
  }
  return unloaded;
}

int freeUnusedLibraries() { return StoreClassSource::instance()->freeUnused(); }

namespace {
void callEntryPoint(const std::filesystem::path& file, const char* name) {
  LoadedLibrary library(file);
  check(library.entryPoint<DllRegisterServerFn>(name)());
}
}  // namespace

std::optional<RegisteredClass> findRegisteredClass(StringView progId) { return StoreClassSource::lookUp(progId); }

std::optional<Error> componentLibraryError(const std::filesystem::path& library) {
  try {
    LoadedLibrary(library).entryPoint<DllGetClassObjectFn>("DllGetClassObject");
    return std::nullopt;
  } catch (const Error& error) {
    return error;
  }
}

void registerLibrary(const std::filesystem::path& library) {
  callEntryPoint(library, "DllRegisterServer");
}

void unregisterLibrary(const std::filesystem::path& library) {
  callEntryPoint(library, "DllUnregisterServer");
}

}  // namespace skein10

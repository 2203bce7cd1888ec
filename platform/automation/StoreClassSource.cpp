#include "platform/automation/StoreClassSource.h"

#include <set>
#include <vector>

#include "skein10/Boundary.h"
#include "platform/automation/RegistrationStore.h"

namespace skein10 {

const std::shared_ptr<StoreClassSource>& StoreClassSource::instance() {
  static const auto source = std::make_shared<StoreClassSource>();
  return source;
}

namespace {

struct StoreClass {
  String progId;  // as the store writes it
  RegisteredClass registered;
};

// Every class one store registers with a library, in the store's order; a
// library path relative to the store is made absolute from the store's
// folder.
std::vector<StoreClass> classesIn(const std::filesystem::path& store) {
  std::vector<StoreClass> classes;
  if (store.empty()) return classes;
  const auto entries = RegistrationStore(store).read();
  constexpr std::u16string_view suffix = u"\\clsid";
  for (const auto& [key, classId] : entries) {
    const String name = fromUtf8(key);
    if (name.size() <= suffix.size() || foldCase(StringView(name).substr(name.size() - suffix.size())) != suffix)
      continue;
    auto server = entries.find("CLSID\\" + classId + "\\InProcessServer");
    if (server == entries.end()) continue;
    std::filesystem::path library = server->second;
    if (library.is_relative()) library = (store.parent_path() / library).lexically_normal();
    classes.push_back({name.substr(0, name.size() - suffix.size()), RegisteredClass{fromUtf8(classId), library, store}});
  }
  return classes;
}

}  // namespace

// The user's store first, so that its entries win.
std::optional<RegisteredClass> StoreClassSource::lookUp(StringView progId) {
  const String wanted = foldCase(progId);
  for (const auto& store : {registryPath(), installedRegistryPath()})
    for (StoreClass& found : classesIn(store))
      if (foldCase(found.progId) == wanted) return std::move(found.registered);
  return std::nullopt;
}

std::vector<String> registeredProgIds() {
  std::vector<String> progIds;
  std::set<String> seen;
  for (const auto& store : {registryPath(), installedRegistryPath()})
    for (const StoreClass& found : classesIn(store))
      if (seen.insert(foldCase(found.progId)).second) progIds.push_back(found.progId);
  return progIds;
}

// A library that can't be loaded throws before it is kept, so that only
// loaded libraries are ever asked whether they can be unloaded.
std::shared_ptr<LoadedLibrary> StoreClassSource::load(const std::filesystem::path& library) {
  std::lock_guard lock(mutex_);
  if (const auto found = loaded_.find(library); found != loaded_.end()) return found->second;
  auto loaded = std::make_shared<LoadedLibrary>(library);
  loaded_.emplace(library, loaded);
  return loaded;
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

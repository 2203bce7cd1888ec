#pragma once
// In-process components: the four entry points a component library exports,
// the class factory they hand out, and what the runtime does with them.
//
// A component library exports, with C linkage:
//   Status DllRegisterServer();    writes its classes into the registration store
//   Status DllUnregisterServer();  removes exactly those entries
//   Status DllGetClassObject(const char16_t* classId, Ref<ClassFactory>* factory);
//   Status DllCanUnloadNow();      Ok when no object of it is alive and no host
//                                  holds it locked, False otherwise
//
// The registration store is a text file at $SKEIN10_REGISTRY, or by default
// ${XDG_CONFIG_HOME:-$HOME/.config}/skein10/registry; a read-only store
// installed with the runtime follows it (installedRegistryPath()).
// CreateObject finds a ProgID there, loads the library that serves it and
// asks its factory.

#include <atomic>
#include <filesystem>
#include <optional>
#include <vector>

#include "skein10/Error.h"
#include "skein10/Object.h"
#include "skein10/Status.h"
#include "skein10/String.h"
#include "skein10/Export.h"

namespace skein10 {

// Creates the instances of one class.
class SKEIN10_API ClassFactory : public Object {
 public:
  virtual Status CreateInstance(ObjectRef* result) = 0;
  // While locked, the library that serves the factory stays loaded.
  virtual Status LockServer(bool lock) = 0;
};

// Counts what keeps one component library in use: its live objects and the
// hosts' locks. Each library has one.
class SKEIN10_API ModuleUsage {
 public:
  void objectCreated() noexcept { objects_.fetch_add(1); }
  void objectDestroyed() noexcept { objects_.fetch_sub(1); }
  void lock() noexcept { locks_.fetch_add(1); }
  void unlock() noexcept { locks_.fetch_sub(1); }
  bool inUse() const noexcept { return objects_.load() > 0 || locks_.load() > 0; }

 private:
  std::atomic<long> objects_{0};
  std::atomic<long> locks_{0};
};

using DllRegisterServerFn = Status (*)();
using DllUnregisterServerFn = Status (*)();
using DllGetClassObjectFn = Status (*)(const char16_t* classId, Ref<ClassFactory>* factory);
using DllCanUnloadNowFn = Status (*)();

// Loads a component library by path and calls its DllRegisterServer or
// DllUnregisterServer. Throws Error when the library can't be loaded or the
// entry point fails.
SKEIN10_API void registerLibrary(const std::filesystem::path& library);
SKEIN10_API void unregisterLibrary(const std::filesystem::path& library);

// Unloads every library that the runtime loaded for CreateObject and whose
// DllCanUnloadNow answers yes. Returns how many were unloaded.
SKEIN10_API int freeUnusedLibraries();

// The user's registration store's file, written by DllRegisterServer.
SKEIN10_API std::filesystem::path registryPath();

// The read-only store installed with the runtime: `skein10/registry` in the
// folder of libskein10rt.so (or the file $SKEIN10_INSTALLED_REGISTRY names;
// set to an empty text, there is none). It registers the classes of the
// libraries installed with the runtime, so they can be created without
// `skein10 register`; a library path in it is relative to its own folder.
// CreateObject reads it after the user's store, whose entries win.
SKEIN10_API std::filesystem::path installedRegistryPath();

// What the registration stores say of a ProgID (compared without regard to
// case), the user's store first: the class identifier, the library that
// serves it (an absolute path) and the store that said so. Nothing when
// neither registers it. Throws Error 75 when a store exists but can't be read.
struct SKEIN10_API RegisteredClass {
  String classId;
  std::filesystem::path library;
  std::filesystem::path store;
};
SKEIN10_API std::optional<RegisteredClass> findRegisteredClass(StringView progId);

// Every ProgID the registration stores register with a library, as they
// write it: the user's store's first, then those of the installed store
// that the user's does not name (compared without regard to case), each
// store's in the order of its entries. A store that does not exist
// registers none.
SKEIN10_API std::vector<String> registeredProgIds();

// Loads a component library as CreateObject does and looks up its
// DllGetClassObject, then lets it go: the error that stops it (48 "Error in
// loading DLL" with the loader's reason: file missing, wrong architecture, a
// missing symbol; 453 without the entry point), or nothing when it loads.
SKEIN10_API std::optional<Error> componentLibraryError(const std::filesystem::path& library);

}  // namespace skein10

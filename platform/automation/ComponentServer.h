#pragma once
// What a component library needs to be an in-process server: its classes and
// type library, the registration entries it writes and removes, its class
// factories and the count of what keeps it loaded. A library's four entry
// points are one-line calls into its ComponentServer.

#include <filesystem>
#include <string>
#include <vector>

#include "skein10/ClassRegistry.h"
#include "skein10/Component.h"
#include "platform/automation/RegistrationStore.h"
#include "platform/Export.h"

namespace skein10 {

class SKEIN10_INTERNAL_API ComponentServer {
 public:
  struct TypeLibrary {
    String id;       // "{...}"
    String name;     // "Skein10"
    String version;  // "1.0"
  };

  // `usage` counts the library's live objects; by default the server keeps
  // its own count.
  ComponentServer(TypeLibrary typeLibrary, std::vector<ClassEntry> classes,
                  ModuleUsage* usage = nullptr);

  const std::vector<ClassEntry>& classes() const noexcept { return classes_; }
  ModuleUsage& usage() noexcept { return *usage_; }

  // The entry points. `anchor` is any address inside the library: the
  // library's file is the one that holds it.
  Status registerServer(const void* anchor);
  Status unregisterServer();
  Status getClassObject(const char16_t* classId, Ref<ClassFactory>* factory);
  Status canUnloadNow() const noexcept;

  // Registers the classes in this process only (for hosts and tests that link
  // the library directly). Instances are counted as the factory's are.
  void registerInProcess();

  // The store entries this server writes for the given library file.
  RegistrationStore::Entries entries(const std::filesystem::path& library) const;

 private:
  ObjectRef create(const ClassEntry& entry);

  TypeLibrary typeLibrary_;
  std::vector<ClassEntry> classes_;
  ModuleUsage ownUsage_;
  ModuleUsage* usage_;
};

// The file of the loaded binary that holds `address`.
SKEIN10_INTERNAL_API std::filesystem::path moduleFileOf(const void* address);

}  // namespace skein10

// Defines the four entry points of a component library over the
// ComponentServer that `server` (an expression) yields.
#define SKEIN10_COMPONENT_ENTRY_POINTS(server)                                              \
  extern "C" {                                                                            \
  skein10::Status DllRegisterServer() {                                                   \
    return (server).registerServer(reinterpret_cast<const void*>(&DllRegisterServer));   \
  }                                                                                       \
  skein10::Status DllUnregisterServer() { return (server).unregisterServer(); }          \
  skein10::Status DllGetClassObject(const char16_t* classId,                             \
                                    skein10::Ref<skein10::ClassFactory>* factory) {      \
    return (server).getClassObject(classId, factory);                                    \
  }                                                                                       \
  skein10::Status DllCanUnloadNow() { return (server).canUnloadNow(); }                  \
  }

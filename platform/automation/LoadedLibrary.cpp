#include "platform/automation/LoadedLibrary.h"

#include <dlfcn.h>

#include "skein10/Error.h"

namespace skein10 {

LoadedLibrary::LoadedLibrary(const std::filesystem::path& file)
    : file_(file), handle_(::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL)) {
  if (!handle_) {
    const char* why = ::dlerror();
    throw Error(errc::LoadLibraryFailed, kRuntimeSource,
                runtimeErrorText(errc::LoadLibraryFailed) + u": " + fromUtf8(why ? why : file.string()));
  }
}

LoadedLibrary::~LoadedLibrary() { ::dlclose(handle_); }

void* LoadedLibrary::symbol(const char* name) const {
  void* address = ::dlsym(handle_, name);
  if (!address)
    throw Error(errc::EntryPointNotFound, kRuntimeSource,
                runtimeErrorText(errc::EntryPointNotFound) + u" " + fromUtf8(name));
  return address;
}

}  // namespace skein10

#pragma once
// A shared library loaded by path, unloaded when the last owner lets go.

#include <filesystem>
#include <string>
#include "platform/Export.h"

namespace skein10 {

class SKEIN10_INTERNAL_API LoadedLibrary {
 public:
  // Loads the library; throws 48 "Error in loading DLL" with the loader's text.
  explicit LoadedLibrary(const std::filesystem::path& file);
  ~LoadedLibrary();
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  const std::filesystem::path& file() const noexcept { return file_; }

  // The exported function `name`; throws 453 when the library has none.
  template <class Fn>
  Fn entryPoint(const char* name) const {
    return reinterpret_cast<Fn>(symbol(name));
  }

 private:
  void* symbol(const char* name) const;

  std::filesystem::path file_;
  void* handle_;
};

}  // namespace skein10

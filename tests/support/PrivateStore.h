#pragma once
// A registration store of the test process's own: a fresh folder, named by
// $SKEIN10_REGISTRY while the object lives, into which the test registers the
// built component libraries, so CreateObject reaches their classes by ProgID
// as a host does.

#include <filesystem>

#include "ScopedEnvironment.h"
#include "TempDir.h"

namespace skein10::test {

class PrivateStore {
 public:
  PrivateStore();
  ~PrivateStore();
  PrivateStore(const PrivateStore&) = delete;
  PrivateStore& operator=(const PrivateStore&) = delete;

  // Registers the library's classes in this store (its DllRegisterServer).
  void add(const std::filesystem::path& library);

 private:
  TempDir folder_;
  ScopedEnvironment registry_;
};

}  // namespace skein10::test

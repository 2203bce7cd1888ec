#include "PrivateStore.h"

#include <cstdlib>

#include "skein10/Component.h"

namespace skein10::test {

PrivateStore::PrivateStore() { ::setenv("SKEIN10_REGISTRY", (folder_ / "registry").c_str(), 1); }

PrivateStore::~PrivateStore() { ::unsetenv("SKEIN10_REGISTRY"); }

void PrivateStore::add(const std::filesystem::path& library) { registerLibrary(library); }

}  // namespace skein10::test

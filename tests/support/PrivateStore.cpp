#include "PrivateStore.h"

#include "skein10/Component.h"

namespace skein10::test {

PrivateStore::PrivateStore() : registry_("SKEIN10_REGISTRY", (folder_ / "registry").c_str()) {}

PrivateStore::~PrivateStore() = default;

void PrivateStore::add(const std::filesystem::path& library) { registerLibrary(library); }

}  // namespace skein10::test

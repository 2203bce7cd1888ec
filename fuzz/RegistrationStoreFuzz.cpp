// The registration store's reader over arbitrary file content, and its
// writer after it: rewriting what was read, and adding one entry, must read
// back as exactly those entries. The store lives in a private folder on
// /dev/shm where there is one (the writer syncs every file it writes).
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/automation/RegistrationStore.h"

namespace skein10 {
namespace {

void require(bool ok) {
  if (!ok) std::abort();
}

class ScratchFolder {
 public:
  ScratchFolder() {
    std::error_code ec;
    const auto base = std::filesystem::is_directory("/dev/shm", ec) ? std::filesystem::path("/dev/shm")
                                                                    : std::filesystem::temp_directory_path();
    path_ = base / ("skein10-fuzz-store-" + std::to_string(::getpid()));
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// A key and value the file format can hold, made from arbitrary bytes.
std::string storable(std::string text, const char* forbidden) {
  for (char& c : text)
    if (std::strchr(forbidden, c)) c = '_';
  return text;
}

}  // namespace
}  // namespace skein10

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace skein10;
  static const ScratchFolder folder;
  const RegistrationStore store(folder.path() / "registry");
  {
    std::ofstream out(store.file(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  const RegistrationStore::Entries read = store.read();

  store.update([](RegistrationStore::Entries&) {});
  require(store.read() == read);

  const std::string text(reinterpret_cast<const char*>(data), std::min<size_t>(size, 32));
  const std::string key = "Fuzz\\" + storable(text, "=\n\r"), value = storable(text, "\n\r");
  store.update([&](RegistrationStore::Entries& entries) { entries[key] = value; });
  RegistrationStore::Entries expected = read;
  expected[key] = value;
  require(store.read() == expected);
  return 0;
}

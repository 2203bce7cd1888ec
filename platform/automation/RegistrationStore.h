#pragma once
// The registration store: a text file of "key=value" lines that records
// which library serves which class.
//
// Readers never see half a file: writers take an exclusive lock on a lock
// file beside it, read the present entries, change them, write a new file and
// rename it over the old one, so two processes registering at once lose
// nothing.

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include "platform/Export.h"

namespace skein10 {

class SKEIN10_INTERNAL_API RegistrationStore {
 public:
  using Entries = std::map<std::string, std::string>;

  explicit RegistrationStore(std::filesystem::path file);

  const std::filesystem::path& file() const noexcept { return file_; }

  // The entries now in the file; none when it does not exist.
  Entries read() const;
  // Changes the entries under the lock and writes them back atomically.
  void update(const std::function<void(Entries&)>& change) const;

 private:
  std::filesystem::path file_;
};

}  // namespace skein10

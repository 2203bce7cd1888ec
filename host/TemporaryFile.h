#pragma once
// An empty file of its own in the temporary folder ($TMPDIR, else /tmp),
// removed when the object goes.

#include <filesystem>

namespace skein10::host {

class TemporaryFile {
 public:
  // Error 75 when the file can't be made.
  TemporaryFile();
  ~TemporaryFile();
  TemporaryFile(TemporaryFile&& other) noexcept;
  TemporaryFile& operator=(TemporaryFile&&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace skein10::host

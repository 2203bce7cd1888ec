#pragma once
// A fresh folder under the system's temporary folder, removed with its
// content when the object goes.

#include <filesystem>
#include <string>

namespace skein10::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

  // Creates a file holding `text` at `name` below the folder, with the
  // folders on its way; its path.
  std::filesystem::path file(const std::filesystem::path& name, const std::string& text = "") const;
  // Creates a folder at `name` below the folder, with those on its way.
  std::filesystem::path folder(const std::filesystem::path& name) const;

 private:
  std::filesystem::path path_;
};

}  // namespace skein10::test

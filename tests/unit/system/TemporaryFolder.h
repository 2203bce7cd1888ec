#pragma once
// A fresh folder under the system's temporary folder, removed with
// everything in it when the object goes.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace skein10::testing {

class TemporaryFolder {
 public:
  TemporaryFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "skein10-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TemporaryFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  // Creates a file holding `text` (folders on the way included).
  std::filesystem::path file(const std::string& name, const std::string& text = "") const {
    const auto file = path_ / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
    return file;
  }
  std::filesystem::path folder(const std::string& name) const {
    const auto folder = path_ / name;
    std::filesystem::create_directories(folder);
    return folder;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace skein10::testing

#include "TempDir.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>

namespace skein10::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "skein10-test-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempDir::file(const std::filesystem::path& name, const std::string& text) const {
  const std::filesystem::path file = path_ / name;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
  return file;
}

std::filesystem::path TempDir::folder(const std::filesystem::path& name) const {
  const std::filesystem::path folder = path_ / name;
  std::filesystem::create_directories(folder);
  return folder;
}

}  // namespace skein10::test

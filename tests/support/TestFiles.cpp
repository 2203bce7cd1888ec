#include "TestFiles.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "skein10/String.h"

namespace skein10::test {

std::string readFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("can't read " + file.string());
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

void writeFile(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("can't write " + file.string());
}

std::string randomBytes(std::size_t size, uint32_t seed) {
  std::mt19937 generator(seed);
  std::string bytes(size, '\0');
  for (char& b : bytes) b = static_cast<char>(generator() & 0xFF);
  return bytes;
}

std::string folderListing(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  std::string listing;
  for (const std::string& name : names) listing += name + "\n";
  return listing;
}

std::u16string pathText(const std::filesystem::path& file) { return fromUtf8(file.string()); }

std::span<const uint8_t> asBytes(const std::string& text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

}  // namespace skein10::test

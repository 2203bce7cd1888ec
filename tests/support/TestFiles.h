#pragma once
// Reading, writing and making test file contents.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace skein10::test {

std::string readFile(const std::filesystem::path& file);
void writeFile(const std::filesystem::path& file, const std::string& bytes);
// `size` pseudo-random bytes, the same for the same seed.
std::string randomBytes(std::size_t size, uint32_t seed);
// The names in a folder, sorted, one per line.
std::string folderListing(const std::filesystem::path& folder);
std::u16string pathText(const std::filesystem::path& file);
// The bytes of `text`, as the sockets send them.
std::span<const uint8_t> asBytes(const std::string& text);

}  // namespace skein10::test

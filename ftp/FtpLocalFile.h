#pragma once
// One local file of a transfer, open for writing or reading raw bytes, with
// its file number; closed when the object goes. Errors are the runtime's
// (53 file not found, 61 disk full, 70 permission denied, 75 path/file
// access error, 76 path not found).

#include <cstdint>
#include <filesystem>
#include <span>

namespace skein10 {

class FtpLocalFile {
 public:
  FtpLocalFile() = default;
  ~FtpLocalFile();
  FtpLocalFile(FtpLocalFile&& other) noexcept;
  FtpLocalFile& operator=(FtpLocalFile&& other) noexcept;

  // Creates the file or empties an existing one, for writing from its start.
  static FtpLocalFile createForWriting(const std::filesystem::path& file);
  // Creates a new file that must not exist yet.
  static FtpLocalFile createNew(const std::filesystem::path& file);
  static FtpLocalFile openForReading(const std::filesystem::path& file);

  bool isOpen() const { return fd_ >= 0; }
  // A positive number naming the open file; 0 when closed.
  int16_t number() const { return number_; }
  int64_t length() const;
  // Reads the next bytes into `into`; returns how many (0 at the end).
  std::size_t read(std::span<uint8_t> into);
  // Writes all of `bytes` at the current position.
  void write(std::span<const uint8_t> bytes);
  void close();

  // The open file with this number on this thread, or nullptr.
  static FtpLocalFile* byNumber(int16_t number);

 private:
  static FtpLocalFile open(const std::filesystem::path& file, int flags, int32_t missingError);
  void take(FtpLocalFile& other) noexcept;

  int fd_ = -1;
  int16_t number_ = 0;
};

}  // namespace skein10

#pragma once
// One numbered local file of this thread, opened under a free number and
// closed when the handle goes away, also when an error ends its user early.

#include <cstdint>
#include <span>

#include "platform/files/FileTable.h"
#include "skein10/String.h"
#include "platform/Export.h"

namespace skein10::files {

class SKEIN10_INTERNAL_API NumberedFile {
 public:
  // Takes the lowest free number and opens `path` under it; `patience`
  // bounds every wait for the other end of a FIFO or device.
  NumberedFile(const String& path, FileMode mode, Patience patience = kNoLimit);
  ~NumberedFile();
  NumberedFile(const NumberedFile&) = delete;
  NumberedFile& operator=(const NumberedFile&) = delete;

  // Creates `path`, or empties it if it exists (open for output, then close).
  static void createEmpty(const String& path);

  // The number while open; 0 after close().
  int16_t number() const { return number_; }
  void close();

  int64_t length() const { return FileTable::current().length(number_); }
  bool isRegular() const { return FileTable::current().isRegular(number_); }
  std::size_t read(std::span<uint8_t> into) { return FileTable::current().read(number_, into); }
  void write(std::span<const uint8_t> bytes) { FileTable::current().write(number_, bytes); }

 private:
  int16_t number_;
};

}  // namespace skein10::files

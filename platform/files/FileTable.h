#pragma once
// Numbered local files: the calling thread's table of open files, each under
// a positive number, read and written as raw bytes from its current position.
//
// Failures are the runtime's file errors: 52 bad file number, 53 file not
// found, 54 bad file mode, 55 file already open, 61 disk full, 67 too many
// files, 70 permission denied, 75 path/file access error, 76 path not found.
//
// Nothing here blocks for longer than the file's patience: a FIFO (or any
// other file that is not a regular one) is opened without blocking, and a
// read or write that finds its other end not ready waits for it at most that
// long: a FIFO opened for writing waits that long for a reader, one opened
// for reading for a writer, and then fails with 75. A write past the
// file-size limit or into a FIFO whose reader left fails (61, 75) instead of
// raising a signal that would end the process.

#include <array>
#include <chrono>
#include <cstdint>
#include <span>

#include "platform/files/UniqueFd.h"
#include "skein10/String.h"
#include "platform/Export.h"

namespace skein10::files {

enum class FileMode {
  Output,       // created, or emptied if it exists; for writing
  BinaryWrite,  // created if missing, kept as it is; writing starts at its start
  BinaryRead,   // must exist; reading starts at its start
  NewPrivate,   // created new, readable and writable by the owner alone (0600); fails (75)
                // if the name exists, a symbolic link included; for writing
};

// How long a read or write may wait for the other end of a FIFO or device;
// kNoLimit waits as long as it takes.
using Patience = std::chrono::milliseconds;
inline constexpr Patience kNoLimit{-1};

class SKEIN10_INTERNAL_API FileTable {
 public:
  static constexpr int16_t kMaxNumber = 511;

  // This thread's table, created on first use; it closes what is still open
  // when the thread ends.
  static FileTable& current();

  FileTable() = default;
  FileTable(const FileTable&) = delete;
  FileTable& operator=(const FileTable&) = delete;

  // The lowest number not in use.
  int16_t freeFile() const;
  void open(int16_t number, const String& path, FileMode mode, Patience patience = kNoLimit);
  void close(int16_t number);

  bool isOpen(int16_t number) const;
  bool isOpenForWriting(int16_t number) const;
  // Length in bytes.
  int64_t length(int16_t number) const;
  // A regular file, whose length is known (not a FIFO or a device).
  bool isRegular(int16_t number) const;
  // Reads up to into.size() bytes at the current position; fewer at the end.
  std::size_t read(int16_t number, std::span<uint8_t> into);
  // Writes every byte at the current position.
  void write(int16_t number, std::span<const uint8_t> bytes);

 private:
  struct Entry {
    UniqueFd fd;
    FileMode mode = FileMode::BinaryRead;
    bool regular = true;
    bool shieldWrites = false;  // a write may raise SIGPIPE or SIGXFSZ
    Patience patience = kNoLimit;
  };

  // The open file under `number`; 52 if there is none.
  const Entry& entry(int16_t number) const;
  // The same, also 54 if it is not open for `writing` or for reading.
  const Entry& entryFor(int16_t number, bool writing) const;

  std::array<Entry, kMaxNumber + 1> entries_{};
};

}  // namespace skein10::files

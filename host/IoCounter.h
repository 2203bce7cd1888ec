#pragma once
// Bytes this process has read from or written to files since a starting
// point, from the kernel's per-process counters in /proc/self/io.
//
// A download writes each arriving block to its local file and an upload
// reads the local file block by block, so the counters follow a transfer's
// progress without the host knowing anything of the session's inside.
// Socket traffic does not pass through these counters.

#include <cstdint>

namespace skein10::host {

class IoCounter {
 public:
  enum class Direction { Read, Written };

  explicit IoCounter(Direction direction);

  // Bytes moved in this direction since construction, less the counter's own
  // reads of /proc/self/io and the writes announced with ownWrite().
  uint64_t moved();
  // Bytes the caller itself wrote (the progress line on a terminal), so that
  // they don't count as transfer.
  void ownWrite(uint64_t bytes) { own_ += bytes; }

 private:
  // The counter's current value; 0 when /proc/self/io can't be read.
  uint64_t sample();

  Direction direction_;
  uint64_t own_ = 0;
  uint64_t lastRead_ = 0;  // the size of the latest read of /proc/self/io
  uint64_t start_;
};

}  // namespace skein10::host

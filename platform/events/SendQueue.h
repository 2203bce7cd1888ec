#pragma once
// The pieces a socket has yet to hand to its connection, in order, and how
// much of the first one has gone. Each piece is copied into a buffer that
// earlier pieces left behind, so a steady stream of sends allocates nothing.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/events/RingQueue.h"
#include "platform/Export.h"

namespace skein10::events {

class SKEIN10_INTERNAL_API SendQueue {
 public:
  bool empty() const { return pieces_.empty(); }
  void push(std::span<const uint8_t> bytes);
  // What is left of the first piece.
  std::span<const uint8_t> front() const { return std::span(pieces_.front()).subspan(sent_); }
  // Counts `count` more bytes of the first piece as gone; true when that
  // finished it (it is then dropped).
  bool consume(std::size_t count);
  void clear();

 private:
  RingQueue<std::vector<uint8_t>> pieces_;
  std::size_t sent_ = 0;
};

}  // namespace skein10::events

#pragma once
// The pieces a socket has yet to hand to the operating system, in order.
// Each piece is copied into a buffer that earlier pieces left behind, so a
// steady stream of sends allocates nothing.

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
  const std::vector<uint8_t>& front() const { return pieces_.front(); }
  void pop() { pieces_.drop(); }
  // Drops every piece but the one being written, whose buffer must stay
  // valid until its write completes.
  void dropWaiting() { pieces_.truncate(writing ? 1 : 0); }

  bool writing = false;  // the front piece is being written

 private:
  RingQueue<std::vector<uint8_t>> pieces_;
};

}  // namespace skein10::events

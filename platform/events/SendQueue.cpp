#include "platform/events/SendQueue.h"

namespace skein10::events {

void SendQueue::push(std::span<const uint8_t> bytes) {
  pieces_.pushSlot().assign(bytes.begin(), bytes.end());
}

bool SendQueue::consume(std::size_t count) {
  sent_ += count;
  if (sent_ < pieces_.front().size()) return false;
  pieces_.drop();
  sent_ = 0;
  return true;
}

void SendQueue::clear() {
  pieces_.truncate(0);
  sent_ = 0;
}

}  // namespace skein10::events

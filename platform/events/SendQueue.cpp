#include "platform/events/SendQueue.h"

namespace skein10::events {

void SendQueue::push(std::span<const uint8_t> bytes) {
  pieces_.pushSlot().assign(bytes.begin(), bytes.end());
}

}  // namespace skein10::events

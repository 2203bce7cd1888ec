#pragma once
// The part of a socket's or a timer's state that ties it to its thread's
// loop: the loop it reports to, the public object it reports for, and the
// generation that tells the events and completions of its current run from
// those of a run that has ended (a socket's Close, a timer's restart).
//
// `Self` derives from LoopTarget<Self, Owner> and has
// `void handle(const LoopEvent&)`, called only for an event of the current
// run while the owner is still there. The public object clears `owner` when
// it is destroyed, so nothing reaches it afterwards, even from an event that
// was queued before.

#include <cstdint>
#include <memory>
#include <utility>

#include "platform/events/EventLoop.h"

namespace skein10::events {

template <class Self, class Owner>
struct LoopTarget : EventTarget, std::enable_shared_from_this<Self> {
  explicit LoopTarget(Owner* owner) : owner(owner) {}

  // Queues an event of the current run; its handle() follows in a later
  // dispatch unless the run ends first.
  void raise(int32_t kind, int32_t number = 0, String text = {}) {
    loop->raise(this->weak_from_this(), kind, generation, number, std::move(text));
  }

  // A completion handler that runs `f(self, args...)` only while the target
  // still exists and the run that started the operation goes on.
  template <typename F>
  auto guard(F f) {
    return [self = this->weak_from_this(), started = generation, f](auto&&... args) {
      auto target = self.lock();
      if (!target || target->generation != started) return;
      f(*target, std::forward<decltype(args)>(args)...);
    };
  }

  void deliver(const LoopEvent& event) final {
    if (owner && event.generation == generation) static_cast<Self&>(*this).handle(event);
  }

  // The loop comes first, so it outlives the Asio objects of the derived
  // state, which belong to its context.
  std::shared_ptr<EventLoop> loop = EventLoop::current();
  Owner* owner;             // the public object; none once it is being destroyed
  uint32_t generation = 0;  // bumped when a run ends
};

}  // namespace skein10::events

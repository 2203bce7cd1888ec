#pragma once
// The thread an object belongs to: the one whose event loop its sockets and
// timers report to. Only that thread pumps those events, so a member called
// from any other thread would wait on a loop nobody pumps; it is refused at
// once instead.

#include <thread>

#include "platform/Export.h"

namespace skein10::events {

class SKEIN10_INTERNAL_API ThreadAffinity {
 public:
  ThreadAffinity() : owner_(std::this_thread::get_id()) {}

  // Throws errc::WrongThread unless the calling thread is the owner.
  void require() const;

 private:
  std::thread::id owner_;
};

}  // namespace skein10::events

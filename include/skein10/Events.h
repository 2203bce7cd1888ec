#pragma once
// The calling thread's event loop, as host programs see it.
//
// Every thread that uses the library has one event loop, created on its first
// use. Sockets and timers created on a thread deliver their events on that
// thread, and only while the thread pumps: inside DoEvents(), inside a
// library member that waits, or inside pumpUntil().

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include "skein10/Export.h"

namespace skein10 {

using Clock = std::chrono::steady_clock;

// Dispatches every event of this thread that is pending now, once, and returns.
SKEIN10_API void DoEvents();

// The one wait: blocks on this thread's loop, dispatching events as they come,
// until `done()` holds or `deadline` has passed. `done()` is tested before the
// first block and after each batch of events. Returns done().
SKEIN10_API bool pumpUntil(const std::function<bool()>& done, std::optional<Clock::time_point> deadline = {});

// Runs `callback` on this thread inside its next pump.
SKEIN10_API void post(std::function<void()> callback);

// A timer on the thread that created it. While enabled it raises onTimer each
// time Interval milliseconds have passed; an Interval of 0 or less never fires.
// Enabling it again restarts the interval from zero.
class SKEIN10_API Timer {
 public:
  Timer();
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  int32_t Interval() const;
  void setInterval(int32_t milliseconds);
  bool Enabled() const;
  void setEnabled(bool enabled);

  std::function<void()> onTimer;

 private:
  struct Impl;
  std::shared_ptr<Impl> impl_;
};

}  // namespace skein10

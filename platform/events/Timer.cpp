#include <asio/steady_timer.hpp>
#include <chrono>
#include <optional>

#include "platform/events/LoopTarget.h"
#include "skein10/Events.h"

namespace skein10 {

// The timer's state, shared with its pending wait. Every restart or stop
// bumps the generation, so a queued event of an earlier run is dropped.
//
// Restarting is cheap because the session restarts its timer around every
// wait: a restart only moves the due time. The one Asio wait that is pending
// stays as it is when it expires no later than the new due time; when it
// expires early it finds the due time moved and waits again.
struct Timer::Impl : events::LoopTarget<Timer::Impl, Timer> {
  using TimePoint = asio::steady_timer::clock_type::time_point;

  explicit Impl(Timer* owner) : LoopTarget(owner), timer(loop->context()) {}

  void restart() {
    ++generation;
    if (!enabled || interval <= 0) {
      due.reset();
      return;
    }
    due = asio::steady_timer::clock_type::now() + period();
    if (!waiting || timer.expiry() > *due) arm(*due);
  }

  std::chrono::milliseconds period() const { return std::chrono::milliseconds(interval); }

  void arm(TimePoint at) {
    timer.expires_at(at);  // a wait still pending completes as aborted
    waiting = true;
    timer.async_wait([self = weak_from_this()](const asio::error_code& ec) {
      auto impl = self.lock();
      if (ec || !impl) return;
      impl->waiting = false;
      impl->check();
    });
  }

  void check() {
    if (!due) return;
    if (asio::steady_timer::clock_type::now() < *due) return arm(*due);
    expired();
  }

  // Raises one Timer event and schedules the next, one period after this
  // one was due; a thread that pumped too late gets no burst of catch-up events.
  void expired() {
    raise(0);
    const auto now = asio::steady_timer::clock_type::now();
    auto next = *due + period();
    if (next <= now) next = now + period();
    due = next;
    arm(next);
  }

  void handle(const events::LoopEvent&) {
    if (enabled && owner->onTimer) owner->onTimer();
  }

  asio::steady_timer timer;
  std::optional<TimePoint> due;  // when the next Timer event is due; none while stopped
  bool waiting = false;          // an Asio wait is pending
  int32_t interval = 0;
  bool enabled = false;
};

Timer::Timer() : impl_(std::make_shared<Impl>(this)) {}

Timer::~Timer() {
  impl_->owner = nullptr;
  impl_->enabled = false;
  impl_->restart();
}

int32_t Timer::Interval() const { return impl_->interval; }

void Timer::setInterval(int32_t milliseconds) {
  impl_->interval = milliseconds;
  impl_->restart();
}

bool Timer::Enabled() const { return impl_->enabled; }

void Timer::setEnabled(bool enabled) {
  impl_->enabled = enabled;
  impl_->restart();
}

}  // namespace skein10

#include <asio/steady_timer.hpp>
#include <chrono>

#include "platform/events/EventLoop.h"
#include "skein10/Events.h"

namespace skein10 {

// The timer's state, shared with its pending wait. Every restart or stop
// bumps the generation, so a wait or a queued event of an earlier run is
// dropped.
struct Timer::Impl : events::EventTarget, std::enable_shared_from_this<Timer::Impl> {
  explicit Impl(Timer* owner) : owner(owner), timer(loop->context()) {}

  void restart() {
    ++generation;
    timer.cancel();
    if (!enabled || interval <= 0) return;
    timer.expires_after(period());
    wait();
  }

  std::chrono::milliseconds period() const { return std::chrono::milliseconds(interval); }

  void wait() {
    timer.async_wait([self = weak_from_this(), generation = generation](const asio::error_code& ec) {
      auto impl = self.lock();
      if (ec || !impl || impl->generation != generation) return;
      impl->expired();
    });
  }

  // Raises one Timer event and schedules the next, one period after this
  // expiry; a thread that pumped too late gets no burst of catch-up events.
  void expired() {
    loop->raise(weak_from_this(), 0, generation);
    const auto now = asio::steady_timer::clock_type::now();
    auto next = timer.expiry() + period();
    if (next <= now) next = now + period();
    timer.expires_at(next);
    wait();
  }

  void deliver(const events::LoopEvent& event) override {
    if (owner && enabled && event.generation == generation && owner->onTimer) owner->onTimer();
  }

  std::shared_ptr<events::EventLoop> loop = events::EventLoop::current();
  Timer* owner;
  asio::steady_timer timer;
  int32_t interval = 0;
  bool enabled = false;
  uint32_t generation = 0;
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

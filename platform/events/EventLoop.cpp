#include "platform/events/EventLoop.h"

#include <sched.h>

#include <algorithm>
#include <utility>

namespace skein10::events {

const std::shared_ptr<EventLoop>& EventLoop::current() {
  thread_local const std::shared_ptr<EventLoop> loop = std::make_shared<EventLoop>();
  return loop;
}

EventLoop::EventLoop() : work_(asio::make_work_guard(io_)) {}

EventLoop::~EventLoop() = default;

LoopEvent& EventLoop::push() {
  LoopEvent& event = queue_.pushSlot();
  event.sequence = nextSequence_++;
  return event;
}

void EventLoop::raise(const std::weak_ptr<EventTarget>& target, int32_t kind, uint32_t generation,
                      int32_t number, String text) {
  LoopEvent& event = push();
  event.target = target;
  event.kind = kind;
  event.generation = generation;
  event.number = number;
  event.text = std::move(text);
  event.callback = nullptr;
}

void EventLoop::post(std::function<void()> callback) {
  LoopEvent& event = push();
  event.target.reset();
  event.text.clear();
  event.callback = std::move(callback);
}

void EventLoop::dispatch() {
  const uint64_t end = nextSequence_;
  while (!queue_.empty() && queue_.front().sequence < end) {
    // Moved out first: the callback may pump, and a nested pump pops too.
    LoopEvent event = queue_.pop();
    if (event.callback) {
      event.callback();
    } else if (auto target = event.target.lock()) {
      target->deliver(event);
    }
  }
}

void EventLoop::doEvents() {
  if (home_) home_->destroyAdopted();
  io_.poll();
  dispatch();
}

bool EventLoop::pumpUntil(const std::function<bool()>& done, std::optional<Clock::time_point> deadline) {
  for (;;) {
    if (home_) home_->destroyAdopted();
    if (done()) return true;
    if (deadline && Clock::now() >= *deadline) return false;
    // Wait for the next completion only when nothing is queued already.
    if (queue_.empty()) awaitCompletion(deadline);
    dispatchQueued();
  }
}

// After a request (see expectAnswer) the thread polls for up to
// kSpinBeforeSleep before it sleeps: on a fast link the answer comes sooner
// than the system wakes a sleeping thread, and on loopback that wake-up
// costs as much as the whole exchange (a TLS server that relays between
// processes answers within some 100 us). Waits for anything else (a stream's
// next bytes, the room to send more, a timer) sleep at once: spinning there
// only takes the processor from the peer that is to send. A spin pays only
// while answers come within it: a caller whose connection's recent answers
// took longer asks for none (see expectAnswer), and after a spin that found
// nothing the next ones are skipped (see spin()).
void EventLoop::awaitCompletion(std::optional<Clock::time_point> deadline) {
  if (std::exchange(answerExpected_, false) && spinDue() && spin(deadline)) return;
  if (deadline) {
    io_.run_one_until(*deadline);
  } else {
    io_.run_one();
  }
}

// Whether this wait may spin: not while a miss's skipped spins last.
bool EventLoop::spinDue() {
  if (spinsToSkip_ == 0) return true;
  --spinsToSkip_;
  return false;
}

// Whether polling queued an event within the bound. A miss skips the next
// spins, 4 after the first and four times as many after each further miss
// in a row (at most kMaxSpinsSkipped); a hit ends the run of misses.
bool EventLoop::spin(std::optional<Clock::time_point> deadline) {
  Clock::time_point end = Clock::now() + kSpinBeforeSleep;
  if (deadline && *deadline < end) end = *deadline;
  // One completion at a time (poll() asks the system once more after one),
  // and the processor left to any other thread that is ready: on a machine
  // with few cores the peer that is to answer may be waiting for this one.
  while (queue_.empty() && Clock::now() < end) {
    io_.poll_one();
    sched_yield();
  }
  if (!queue_.empty()) {
    spinsSkippedAfterMiss_ = 0;
    return true;
  }
  spinsSkippedAfterMiss_ = std::clamp(4 * spinsSkippedAfterMiss_, 4, kMaxSpinsSkipped);
  spinsToSkip_ = spinsSkippedAfterMiss_;
  return false;
}

// A pass that finds events already queued runs them without asking the
// kernel for more, which saves a system call per pass on a busy stream (one
// upload block, one reply); every kMaxPassesWithoutPoll-th pass polls, so the
// other connections' completions are still collected while one keeps the
// queue full.
void EventLoop::dispatchQueued() {
  if (queue_.empty() || ++passesWithoutPoll_ >= kMaxPassesWithoutPoll) {
    passesWithoutPoll_ = 0;
    io_.poll();
  }
  dispatch();
}

}  // namespace skein10::events

namespace skein10 {

void DoEvents() { events::EventLoop::current()->doEvents(); }

bool pumpUntil(const std::function<bool()>& done, std::optional<Clock::time_point> deadline) {
  return events::EventLoop::current()->pumpUntil(done, deadline);
}

void post(std::function<void()> callback) { events::EventLoop::current()->post(std::move(callback)); }

}  // namespace skein10

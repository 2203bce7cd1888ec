#pragma once
// The calling thread's event loop: an Asio io_context that collects the
// completions of the thread's sockets and timers, and a queue of events that
// those completions raise.
//
// Completion handlers never call user code: they only push event records.
// User callbacks run from dispatch(), outside any Asio run or poll call, so a
// callback that pumps again (a nested wait) never nests inside Asio.

#include <asio/executor_work_guard.hpp>
#include <asio/io_context.hpp>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "platform/automation/HomeThread.h"
#include "platform/events/AnswerTimes.h"
#include "platform/events/ClosingConnections.h"
#include "platform/events/PendingConnections.h"
#include "platform/events/RingQueue.h"
#include "skein10/Events.h"
#include "skein10/String.h"
#include "platform/Export.h"

namespace skein10::events {

class EventTarget;

// One queued event. The loop knows nothing of its meaning: the target reads
// `kind`, `generation` and the arguments in deliver(). Posted host callbacks
// have no target.
struct SKEIN10_INTERNAL_API LoopEvent {
  std::weak_ptr<EventTarget> target;
  uint64_t sequence = 0;
  uint32_t generation = 0;
  int32_t kind = 0;
  int32_t number = 0;
  String text;  // error events only
  std::function<void()> callback;
};

// Something that receives events raised on its behalf: a socket, a timer.
class SKEIN10_INTERNAL_API EventTarget {
 public:
  virtual ~EventTarget() = default;
  virtual void deliver(const LoopEvent& event) = 0;
};

class SKEIN10_INTERNAL_API EventLoop {
 public:
  // This thread's loop, created on first use. Sockets and timers keep the
  // pointer so the loop outlives them however the thread ends.
  static const std::shared_ptr<EventLoop>& current();

  EventLoop();
  ~EventLoop();
  EventLoop(const EventLoop&) = delete;
  EventLoop& operator=(const EventLoop&) = delete;

  asio::io_context& context() { return io_; }
  PendingConnections& pendingConnections() { return pending_; }
  ClosingConnections& closingConnections() { return closing_; }

  // Queues an event for `target`, delivered in a later dispatch.
  void raise(const std::weak_ptr<EventTarget>& target, int32_t kind, uint32_t generation,
             int32_t number = 0, String text = {});
  void post(std::function<void()> callback);

  void doEvents();
  bool pumpUntil(const std::function<bool()>& done, std::optional<Clock::time_point> deadline);
  // The caller sent a request and waits for its answer (the FTP session
  // calls this after each command it sends): the thread's next wait may
  // spin for the answer (see awaitCompletion), but only when one of the
  // connection's `recent` answers came within twice the spin's bound (a
  // sleeping thread sees an answer late by its wake-up): against a server
  // that takes longer, spinning cannot pay. Only such a caller asks; a
  // socket sends without knowing what its bytes are, so the waits of a
  // stream never spin.
  void expectAnswer(const AnswerTimes& recent) { answerExpected_ = recent.anyWithin(2 * kSpinBeforeSleep); }

 private:
  LoopEvent& push();
  // Runs the events queued before this call; later ones wait for the next pass.
  void dispatch();
  // One pass of pumpUntil: collects completed operations unless events are
  // queued already (bounded, see the definition), then dispatches.
  void dispatchQueued();
  // Runs completions until one has queued an event, or runs one completion
  // (an Asio operation may end without raising anything), or the deadline.
  void awaitCompletion(std::optional<Clock::time_point> deadline);
  bool spinDue();
  bool spin(std::optional<Clock::time_point> deadline);

  static constexpr int kMaxPassesWithoutPoll = 16;
  static constexpr std::chrono::microseconds kSpinBeforeSleep{200};
  static constexpr int kMaxSpinsSkipped = 1024;

  // Objects of this thread released on others are destroyed between passes.
  std::shared_ptr<detail::HomeThread> home_ = detail::HomeThread::current();
  asio::io_context io_;
  asio::executor_work_guard<asio::io_context::executor_type> work_;
  PendingConnections pending_;
  ClosingConnections closing_{io_};
  RingQueue<LoopEvent> queue_;
  uint64_t nextSequence_ = 0;
  int passesWithoutPoll_ = 0;
  bool answerExpected_ = false;    // a request went out since the thread last waited
  int spinsToSkip_ = 0;            // waits left that sleep without spinning
  int spinsSkippedAfterMiss_ = 0;  // how many the last miss skipped
};

}  // namespace skein10::events

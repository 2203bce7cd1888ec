#pragma once
// How long a connection's recent answers took, from the request's sending to
// the answer's arrival, so that the event loop spins for the next answer
// only when spinning can pay (see EventLoop::expectAnswer). A server that
// takes milliseconds to answer makes every spin a miss that only burns the
// processor before the thread sleeps anyway; one that answers within the
// spin is caught before the thread would have slept. The times are taken
// whether or not the wait spun, so a server that turns quick again is
// noticed with its next answer.

#include <array>
#include <cstddef>
#include <optional>

#include "skein10/Events.h"
#include "platform/Export.h"

namespace skein10::events {

class SKEIN10_INTERNAL_API AnswerTimes {
 public:
  // How many of the latest answers count.
  static constexpr std::size_t kKept = 4;

  // A request went out.
  void asked(Clock::time_point now = Clock::now()) { askedAt_ = now; }
  // Its answer came (a request whose answer never came is forgotten at the
  // next one).
  void answered(Clock::time_point now = Clock::now());
  // Whether one of the latest answers came within `bound`; true while none
  // has been measured.
  bool anyWithin(Clock::duration bound) const;

 private:
  std::optional<Clock::time_point> askedAt_;
  std::array<Clock::duration, kKept> took_{};
  std::size_t count_ = 0;  // answers measured, at most kKept
  std::size_t next_ = 0;   // where the next one goes
};

}  // namespace skein10::events

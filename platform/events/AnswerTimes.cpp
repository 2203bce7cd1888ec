#include "platform/events/AnswerTimes.h"

#include <algorithm>

namespace skein10::events {

void AnswerTimes::answered(Clock::time_point now) {
  if (!askedAt_) return;
  took_[next_] = now - *askedAt_;
  next_ = (next_ + 1) % kKept;
  count_ = std::min(count_ + 1, kKept);
  askedAt_.reset();
}

bool AnswerTimes::anyWithin(Clock::duration bound) const {
  if (count_ == 0) return true;
  return std::any_of(took_.begin(), took_.begin() + static_cast<std::ptrdiff_t>(count_),
                     [bound](Clock::duration took) { return took <= bound; });
}

}  // namespace skein10::events

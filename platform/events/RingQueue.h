#pragma once
// A first-in, first-out queue on a ring of slots that only ever grows. Once
// warmed up, pushing and popping allocate nothing: slots are reused, and a
// slot keeps whatever capacity its element had (a byte buffer, a text).

#include <cstddef>
#include <utility>
#include <vector>

namespace skein10::events {

template <typename T>
class RingQueue {
 public:
  bool empty() const { return size_ == 0; }
  std::size_t size() const { return size_; }

  T& front() { return slots_[head_]; }
  const T& front() const { return slots_[head_]; }

  // The slot at the back, for the caller to fill in place. Its old content
  // (from an element popped earlier) is still there.
  T& pushSlot() {
    if (size_ == slots_.size()) grow();
    T& slot = slots_[(head_ + size_) % slots_.size()];
    ++size_;
    return slot;
  }

  // Moves the front element out.
  T pop() {
    T value = std::move(slots_[head_]);
    drop();
    return value;
  }

  // Drops the front element, leaving it in its slot for reuse.
  void drop() {
    head_ = (head_ + 1) % slots_.size();
    --size_;
  }

  // Drops every element after the first `keep`.
  void truncate(std::size_t keep) {
    if (keep < size_) size_ = keep;
  }

 private:
  void grow() {
    std::vector<T> bigger(slots_.empty() ? 8 : slots_.size() * 2);
    for (std::size_t i = 0; i < size_; ++i) bigger[i] = std::move(slots_[(head_ + i) % slots_.size()]);
    slots_ = std::move(bigger);
    head_ = 0;
  }

  std::vector<T> slots_;
  std::size_t head_ = 0;
  std::size_t size_ = 0;
};

}  // namespace skein10::events

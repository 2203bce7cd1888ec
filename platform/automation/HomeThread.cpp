#include "platform/automation/HomeThread.h"

#include <utility>

namespace skein10::detail {
namespace {

// Trivially destructible, so it can be read while the thread's other
// thread-local objects are being destroyed.
thread_local bool threadEnding = false;

// Ends the thread's home with the thread.
struct ThreadHome {
  std::shared_ptr<HomeThread> home = std::make_shared<HomeThread>();
  ~ThreadHome() {
    threadEnding = true;
    home->end();
  }
};

}  // namespace

std::shared_ptr<HomeThread> HomeThread::current() {
  if (threadEnding) return nullptr;
  thread_local ThreadHome holder;
  return holder.home;
}

HomeThread::HomeThread() : owner_(std::this_thread::get_id()) {}

bool HomeThread::adopt(const Object* object) noexcept {
  std::lock_guard lock(mutex_);
  if (ended_) return false;
  adopted_.push_back(object);
  pending_.store(true, std::memory_order_release);
  return true;
}

void HomeThread::end() noexcept {
  {
    std::lock_guard lock(mutex_);
    ended_ = true;
  }
  destroyAll();
}

// Destroying one object may release others of this thread (what it held),
// which go at once; objects adopted meanwhile wait for the next round.
void HomeThread::destroyAll() noexcept {
  std::vector<const Object*> objects;
  {
    std::lock_guard lock(mutex_);
    objects.swap(adopted_);
    pending_.store(false, std::memory_order_relaxed);
  }
  for (const Object* object : objects) Object::destroy(object);
}

}  // namespace skein10::detail

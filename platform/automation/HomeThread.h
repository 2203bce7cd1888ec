#pragma once
// The thread an object was created on, as far as its destruction goes. An
// object whose last reference goes on another thread is not destroyed there:
// its home thread adopts it and destroys it at its next late-bound call or
// pump, or when it ends. An object whose home thread has ended is destroyed
// wherever its last reference goes.

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "skein10/Object.h"
#include "platform/Export.h"

namespace skein10::detail {

class SKEIN10_INTERNAL_API HomeThread {
 public:
  // The calling thread's; nothing once the thread has begun to end (objects
  // created then have no home and are destroyed wherever they are released).
  static std::shared_ptr<HomeThread> current();

  HomeThread();
  HomeThread(const HomeThread&) = delete;
  HomeThread& operator=(const HomeThread&) = delete;

  bool isCurrent() const noexcept { return owner_ == std::this_thread::get_id(); }

  // Takes an object whose last reference went on another thread. False when
  // this thread has ended: the caller destroys the object itself.
  bool adopt(const Object* object) noexcept;
  // Destroys the adopted objects; called on this thread only.
  void destroyAdopted() noexcept {
    if (pending_.load(std::memory_order_acquire)) destroyAll();
  }
  // The thread ends: destroys what it adopted and adopts nothing more.
  void end() noexcept;

 private:
  void destroyAll() noexcept;

  const std::thread::id owner_;
  std::mutex mutex_;
  std::vector<const Object*> adopted_;
  std::atomic<bool> pending_{false};
  bool ended_ = false;
};

}  // namespace skein10::detail

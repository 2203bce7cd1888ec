// Objects released on a thread other than their own: the last reference
// going on a foreign thread never destroys the object there. Its own thread
// destroys it at its next late-bound call or pump, or when it ends; an object
// whose thread has ended is destroyed where its last reference goes.

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "skein10/Events.h"
#include "skein10/Object.h"
#include "skein10/TypeInfo.h"

namespace skein10::test {
namespace {

// Where each object of a test was destroyed.
struct Destructions {
  std::mutex mutex;
  std::vector<std::thread::id> threads;

  void note() {
    std::lock_guard lock(mutex);
    threads.push_back(std::this_thread::get_id());
  }
  std::vector<std::thread::id> taken() {
    std::lock_guard lock(mutex);
    return threads;
  }
};

class Tracked final : public Object {
 public:
  explicit Tracked(Destructions& log) : log_(log) {}
  ~Tracked() override { log_.note(); }
  const InterfaceInfo& interfaceInfo() const override {
    static const InterfaceInfo info{u"_Tracked", u"", {}};
    return info;
  }

 private:
  Destructions& log_;
};

constexpr int kObjects = 200;

std::vector<ObjectRef> makeTracked(Destructions& log) {
  std::vector<ObjectRef> objects;
  for (int i = 0; i < kObjects; ++i) objects.push_back(makeRef<Tracked>(log));
  return objects;
}

// Hands the references to a new thread, which drops them, and waits for it.
void dropOnAnotherThread(std::vector<ObjectRef> objects) {
  std::thread([held = std::move(objects)]() mutable { held.clear(); }).join();
}

TEST(ObjectRelease, AForeignLastReleaseWaitsForTheOwnThreadsNextPump) {
  Destructions log;
  dropOnAnotherThread(makeTracked(log));
  EXPECT_TRUE(log.taken().empty());
  DoEvents();
  const auto threads = log.taken();
  ASSERT_EQ(threads.size(), static_cast<std::size_t>(kObjects));
  for (const auto& id : threads) EXPECT_EQ(id, std::this_thread::get_id());
}

TEST(ObjectRelease, ALateBoundCallOrAWaitAlsoReleases) {
  const std::vector<std::function<void()>> occasions{
      [] {
        Destructions unused;
        const ObjectRef probe = makeRef<Tracked>(unused);
        std::vector<Variant> none;
        Variant ignored;
        // Fails (438: the object has no members), and releases all the same.
        EXPECT_EQ(probe->Invoke(0, InvokeKind::Method, none, &ignored), Status::Failed);
      },
      [] { pumpUntil([] { return true; }); },
      [] { releaseAdoptedObjects(); },
  };
  for (const auto& occasion : occasions) {
    Destructions log;
    dropOnAnotherThread(makeTracked(log));
    occasion();
    EXPECT_EQ(log.taken().size(), static_cast<std::size_t>(kObjects));
  }
}

TEST(ObjectRelease, AThreadThatEndsReleasesWhatItWasHanded) {
  Destructions log;
  std::thread::id owner;
  std::thread([&] {
    owner = std::this_thread::get_id();
    dropOnAnotherThread(makeTracked(log));
    EXPECT_TRUE(log.taken().empty());
  }).join();
  const auto threads = log.taken();
  ASSERT_EQ(threads.size(), static_cast<std::size_t>(kObjects));
  for (const auto& id : threads) EXPECT_EQ(id, owner);
}

TEST(ObjectRelease, AnObjectWhoseThreadEndedGoesWhereItsLastReferenceGoes) {
  Destructions log;
  std::vector<ObjectRef> orphans;
  std::thread([&] { orphans = makeTracked(log); }).join();
  orphans.clear();
  const auto threads = log.taken();
  ASSERT_EQ(threads.size(), static_cast<std::size_t>(kObjects));
  for (const auto& id : threads) EXPECT_EQ(id, std::this_thread::get_id());
}

// Many threads release objects of one owner while it keeps pumping, and the
// owner ends while some are still on their way: each object is destroyed
// exactly once, on the owner or (after its end) on the releasing thread.
TEST(ObjectRelease, ReleasesRacingTheOwnersPumpsAndItsEnd) {
  constexpr int kReleasers = 4;
  Destructions log;
  std::vector<ObjectRef> objects;
  std::mutex mutex;
  std::condition_variable made;
  bool ready = false;
  std::atomic<int> releasersDone{0};
  std::thread owner([&] {
    {
      std::lock_guard lock(mutex);
      for (int i = 0; i < kReleasers * kObjects; ++i) objects.push_back(makeRef<Tracked>(log));
      ready = true;
    }
    made.notify_all();
    while (releasersDone.load() < kReleasers / 2) DoEvents();
  });
  std::vector<std::thread> releasers;
  for (int r = 0; r < kReleasers; ++r) {
    releasers.emplace_back([&, r] {
      std::vector<ObjectRef> mine;
      {
        std::unique_lock lock(mutex);
        made.wait(lock, [&] { return ready; });
        for (int i = r * kObjects; i < (r + 1) * kObjects; ++i) mine.push_back(std::move(objects[i]));
      }
      while (!mine.empty()) mine.pop_back();
      ++releasersDone;
    });
  }
  for (auto& t : releasers) t.join();
  owner.join();
  EXPECT_EQ(log.taken().size(), static_cast<std::size_t>(kReleasers * kObjects));
}

}  // namespace
}  // namespace skein10::test

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "SocketProbe.h"
#include "platform/events/AnswerTimes.h"
#include "skein10/Events.h"

namespace skein10 {
namespace {

using namespace std::chrono_literals;
using test::LoopbackPair;
using test::waitFor;

TEST(EventLoop, DoEventsRunsOnlyWhatWasPendingWhenItStarted) {
  std::vector<int> order;
  post([&] {
    order.push_back(1);
    post([&] { order.push_back(3); });  // raised during dispatch: next pass
  });
  post([&] { order.push_back(2); });
  EXPECT_TRUE(order.empty());  // nothing runs before a pump
  DoEvents();
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  DoEvents();
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
  DoEvents();
  EXPECT_EQ(order.size(), 3u);
}

TEST(EventLoop, PumpUntilTestsFirstAndHonoursItsDeadline) {
  int calls = 0;
  EXPECT_TRUE(pumpUntil([&] { return ++calls > 0; }));
  EXPECT_EQ(calls, 1);

  const auto start = Clock::now();
  EXPECT_FALSE(pumpUntil([] { return false; }, start + 300ms));
  EXPECT_GE(Clock::now() - start, 300ms);
}

TEST(EventLoop, HostTimerAndPostedCallbackRunInsideAWait) {
  // The way a host draws progress while a library member waits.
  Timer progress;
  int ticks = 0;
  progress.onTimer = [&] { ++ticks; };
  progress.setInterval(20);
  progress.setEnabled(true);
  bool posted = false;
  post([&] { posted = true; });
  EXPECT_TRUE(waitFor([&] { return ticks >= 3 && posted; }));
  progress.setEnabled(false);
  const int stopped = ticks;
  waitFor([] { return false; }, 1);
  EXPECT_EQ(ticks, stopped);
}

TEST(EventLoop, TimerWithoutPositiveIntervalNeverFires) {
  for (int32_t interval : {0, -5}) {
    Timer timer;
    bool fired = false;
    timer.onTimer = [&] { fired = true; };
    timer.setInterval(interval);
    timer.setEnabled(true);
    EXPECT_FALSE(pumpUntil([&] { return fired; }, Clock::now() + 200ms)) << interval;
  }
}

TEST(EventLoop, DisablingDropsATimerEventAlreadyQueued) {
  Timer timer;
  int ticks = 0;
  timer.onTimer = [&] { ++ticks; };
  timer.setInterval(10);
  timer.setEnabled(true);
  // This callback is queued before the expiry is collected, so it runs
  // first and disables the timer while its event waits behind it.
  post([&] { timer.setEnabled(false); });
  std::this_thread::sleep_for(100ms);
  DoEvents();
  DoEvents();
  EXPECT_EQ(ticks, 0);
  EXPECT_FALSE(timer.Enabled());
}

TEST(EventLoop, EnablingAgainRestartsTheInterval) {
  Timer timer;
  Clock::time_point fired{};
  timer.onTimer = [&] { fired = Clock::now(); };
  timer.setInterval(400);
  timer.setEnabled(true);
  std::this_thread::sleep_for(250ms);
  const auto restarted = Clock::now();
  timer.setEnabled(true);
  ASSERT_TRUE(waitFor([&] { return fired != Clock::time_point{}; }));
  EXPECT_GE(fired - restarted, 400ms);
}

TEST(EventLoop, NestedPumpFromAHandlerWorks) {
  // A handler that waits for a reply, the way a library member does when a
  // host calls it from an event.
  LoopbackPair pair;
  pair.serverProbe.socket.onDataArrival = [&](int32_t total) {
    String line;
    pair.server.GetData(line, total);
    pair.server.SendData(u"echo " + line);
  };
  bool nestedDone = false;
  Timer trigger;
  trigger.setInterval(10);
  trigger.onTimer = [&] {
    trigger.setEnabled(false);
    pair.client.SendData(String(u"hello"));
    nestedDone = waitFor([&] { return pair.clientProbe.received == "echo hello"; });
  };
  trigger.setEnabled(true);
  ASSERT_TRUE(waitFor([&] { return nestedDone; }));
  // The loop still works after the nested wait returned.
  pair.client.SendData(String(u"again"));
  EXPECT_TRUE(waitFor([&] { return pair.clientProbe.received == "echo helloecho again"; }));
}

TEST(EventLoop, EachThreadHasItsOwnLoop) {
  bool mainRan = false;
  post([&] { mainRan = true; });
  bool otherRan = false;
  std::thread other([&] {
    DoEvents();  // the main thread's callback is not this thread's
    post([&] { otherRan = true; });
    DoEvents();
  });
  other.join();
  EXPECT_TRUE(otherRan);
  EXPECT_FALSE(mainRan);
  DoEvents();
  EXPECT_TRUE(mainRan);
}


// A wait spins for an answer only when one of the connection's latest
// answers came within the bound: a slow server's answers stop the spins, a
// single quick one brings them back, and older answers drop out.
TEST(AnswerTimes, OnlyTheLatestAnswersDecideWhetherOneComesWithinTheBound) {
  using std::chrono::microseconds;
  struct Case {
    const char* name;
    std::vector<int> tookMicroseconds;
    bool within;
  } cases[] = {
      {"none measured yet", {}, true},
      {"a quick server", {40, 60, 35}, true},
      {"a server answering after 2 ms", {2000, 2100, 1900, 2000, 2050}, false},
      {"one quick answer among slow ones", {2000, 2000, 50, 2000}, true},
      {"the quick answer dropped out", {50, 2000, 2000, 2000, 2000}, false},
      {"exactly the bound", {400}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    events::AnswerTimes times;
    Clock::time_point now{};
    for (int took : c.tookMicroseconds) {
      times.asked(now);
      now += microseconds(took);
      times.answered(now);
    }
    EXPECT_EQ(times.anyWithin(microseconds(400)), c.within);
  }
  // An answer without a request counts for nothing; a request without an
  // answer is forgotten at the next one.
  events::AnswerTimes times;
  times.answered(Clock::time_point{} + microseconds(10));
  times.asked(Clock::time_point{});
  times.asked(Clock::time_point{} + microseconds(5000));
  times.answered(Clock::time_point{} + microseconds(7000));
  EXPECT_FALSE(times.anyWithin(microseconds(400)));
}

}  // namespace
}  // namespace skein10

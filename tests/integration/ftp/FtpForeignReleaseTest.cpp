// Sessions released on another thread than their own, as a garbage collector
// or a worker that was handed them releases them: connected sessions made on
// one thread, dropped on others while the owner keeps pumping, are destroyed
// by the owner (their sockets and timers belong to its loop); sessions whose
// thread has ended are destroyed where they are dropped. Run by the
// ThreadSanitizer build too.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "PrivateStore.h"
#include "VsftpdServer.h"
#include "skein10/Events.h"
#include "skein10/Skein10.h"

namespace skein10::test {
namespace {

constexpr int kSessions = 12;
constexpr int kDroppers = 3;

std::vector<ObjectRef> connectedSessions(const FtpTestServer& server) {
  std::vector<ObjectRef> sessions;
  for (int i = 0; i < kSessions; ++i) {
    ObjectRef object = CreateObject(ids::kProgIdKvInetFTPConnection);
    Ref<_clsKvInetFTPConnection> ftp = as<_clsKvInetFTPConnection>(object);
    Variant v;
    check(ftp->Connect(u"127.0.0.1", server.portText(), server.user(), server.password(), &v));
    check(ftp->ChangeDirectory(server.home(), &v));
    sessions.push_back(std::move(object));
  }
  return sessions;
}

TEST(FtpForeignRelease, SessionsDroppedOnOtherThreadsGoOnTheirOwnWhileItPumps) {
  PrivateStore store;
  store.add(SKEIN10_LIBRARY);
  VsftpdServer server;
  std::vector<ObjectRef> sessions = connectedSessions(server);
  std::atomic<int> dropped{0};
  std::vector<std::thread> droppers;
  for (int d = 0; d < kDroppers; ++d) {
    std::vector<ObjectRef> share;
    for (int i = d; i < kSessions; i += kDroppers) share.push_back(std::move(sessions[i]));
    droppers.emplace_back([share = std::move(share), &dropped]() mutable {
      share.clear();
      ++dropped;
    });
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  pumpUntil([&] { return dropped.load() == kDroppers; }, deadline);
  for (auto& t : droppers) t.join();
  DoEvents();  // destroys what the last dropper handed over

  // The thread goes on as before: a new session works.
  std::vector<ObjectRef> more = connectedSessions(server);
  EXPECT_EQ(more.size(), static_cast<std::size_t>(kSessions));
}

TEST(FtpForeignRelease, SessionsOfAnEndedThreadGoWhereTheyAreDropped) {
  PrivateStore store;
  store.add(SKEIN10_LIBRARY);
  VsftpdServer server;
  std::vector<ObjectRef> orphans;
  std::thread([&] { orphans = connectedSessions(server); }).join();
  orphans.clear();
  EXPECT_TRUE(orphans.empty());
}

}  // namespace
}  // namespace skein10::test

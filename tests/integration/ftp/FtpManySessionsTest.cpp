// Many sessions at once against vsftpd on loopback: threads that each run
// complete sessions one after another (half of them passive, half active;
// half reach the server by address, half by the name "localhost", which
// starts the name lookup's own thread beside each thread's event loop),
// every download compared byte for byte with its source, and the process left
// with the descriptors and threads it had before. Each session object is
// created by ProgID (the threads load the library from a private store at
// once), used and released on one thread.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "PrivateStore.h"
#include "TempDir.h"
#include "TestFiles.h"
#include "ServerSkip.h"
#include "VsftpdServer.h"
#include "skein10/Skein10.h"

namespace skein10::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kThreads = 8;
constexpr int kSessionsPerThread = 25;
constexpr std::size_t kFileSize = 1 << 20;

std::size_t entriesOf(const char* folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

struct ProcessCounts {
  std::size_t descriptors = 0;
  std::size_t threads = 0;
  bool operator==(const ProcessCounts&) const = default;
};

ProcessCounts countsNow() { return {entriesOf("/proc/self/fd"), entriesOf("/proc/self/task")}; }

// A joined thread can still be listed for a moment while the kernel finishes
// it: waits (bounded) for the counts to come back to `before`.
ProcessCounts countsAfterSettling(const ProcessCounts& before) {
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(10);
  ProcessCounts now = countsNow();
  while (!(now == before) && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    now = countsNow();
  }
  return now;
}

// One thread's share: complete sessions against the server, each on a session
// object of its own made on this thread.
class SessionRunner {
 public:
  SessionRunner(const FtpTestServer& server, const fs::path& source, const std::string& content, int index)
      : server_(server), source_(source), content_(content), index_(index) {}

  // What went wrong, empty when every session went well.
  std::string run() {
    for (int n = 0; n < kSessionsPerThread; ++n) {
      const std::string name = "thread" + std::to_string(index_) + "_session" + std::to_string(n) + ".bin";
      try {
        std::string problem = runSession(name);
        if (!problem.empty()) return name + ": " + problem;
      } catch (const Error& e) {
        return name + ": error " + std::to_string(e.number()) + " " + toUtf8(e.description());
      } catch (const std::exception& e) {
        return name + ": " + e.what();
      }
    }
    return {};
  }

 private:
  bool active() const { return index_ % 2 == 1; }
  const char16_t* host() const { return index_ / 2 % 2 == 1 ? u"localhost" : u"127.0.0.1"; }

  std::string runSession(const std::string& name) {
    auto ftp = as<_clsKvInetFTPConnection>(CreateObject(ids::kProgIdKvInetFTPConnection));
    check(ftp->put_ConnectionMode(active() ? u"PORT" : u"PASV"));
    Variant v;
    String text;
    check(ftp->Connect(host(), server_.portText(), server_.user(), server_.password(), &v));
    check(ftp->ChangeDirectory(server_.home(), &v));
    check(ftp->TransferType(ftp_BINARY, &text));
    check(ftp->PutFile(fromUtf8(name), pathText(source_), &text));
    const fs::path copy = local_ / name;
    check(ftp->GetFile(fromUtf8(name), pathText(copy), &text));
    if (readFile(copy) != content_) return "the downloaded file differs from its source";
    fs::remove(copy);
    const fs::path listing = local_ / "listing.txt";
    check(ftp->ListContents(pathText(listing), &text));
    if (readFile(listing).find(name) == std::string::npos) return "the listing does not hold the file";
    check(ftp->RemoveFile(fromUtf8(name), &v));
    if (fs::exists(server_.root() / name)) return "the file is still on the server";
    check(ftp->Disconnect(&v));
    return {};
  }

  const FtpTestServer& server_;
  const fs::path& source_;
  const std::string& content_;
  const int index_;
  TempDir local_;
};

TEST(FtpManySessions, EightThreadsOfCompleteSessionsLeaveNoDescriptorOrThreadBehind) {
  SKEIN10_SKIP_WITHOUT(VsftpdServer);
  PrivateStore store;
  store.add(SKEIN10_LIBRARY);
  VsftpdServer server;
  TempDir local;
  const std::string content = randomBytes(kFileSize, 1);
  const fs::path source = local / "source.bin";
  writeFile(source, content);

  std::vector<std::unique_ptr<SessionRunner>> runners;
  for (int i = 0; i < kThreads; ++i) runners.push_back(std::make_unique<SessionRunner>(server, source, content, i));
  std::vector<std::string> problems(kThreads);
  // The sanitizer runtimes start a helper thread of their own when the process
  // makes its first thread; one thread made and joined first keeps it out of
  // the counts.
  std::thread([] {}).join();
  const ProcessCounts before = countsNow();
  {
    std::vector<std::jthread> threads;
    for (int i = 0; i < kThreads; ++i) {
      threads.emplace_back([&, i] { problems[i] = runners[i]->run(); });
    }
  }
  const ProcessCounts after = countsAfterSettling(before);

  for (int i = 0; i < kThreads; ++i) EXPECT_EQ(problems[i], "") << "thread " << i;
  EXPECT_EQ(after.descriptors, before.descriptors);
  EXPECT_EQ(after.threads, before.threads);
  EXPECT_EQ(folderListing(server.root()), "");
  // Every object made on the threads was counted out again: the library has
  // none alive and can go.
  EXPECT_EQ(freeUnusedLibraries(), 1);
}

}  // namespace
}  // namespace skein10::test

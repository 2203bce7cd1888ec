// Two sessions on one thread: while one waits on a silent server, a callback
// that the thread's loop runs inside that wait drives the other through a
// complete transfer against vsftpd. Neither disturbs the other.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "CallError.h"
#include "FtpScripts.h"
#include "PrivateStore.h"
#include "ScriptedFtpServer.h"
#include "TempDir.h"
#include "TestFiles.h"
#include "ServerSkip.h"
#include "VsftpdServer.h"
#include "skein10/Events.h"
#include "skein10/Skein10.h"

namespace skein10::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int32_t kQuietTimeOut = 1500;

Ref<_clsKvInetFTPConnection> newSession() {
  return as<_clsKvInetFTPConnection>(CreateObject(ids::kProgIdKvInetFTPConnection));
}

// Session B's whole life: connect, upload, download, compare, disconnect.
// Returns what went wrong, empty when all went well.
std::string transferOnce(const FtpTestServer& server, const TempDir& local) {
  try {
    const std::string content = randomBytes(256 << 10, 2);
    writeFile(local / "up.bin", content);
    Ref<_clsKvInetFTPConnection> ftp = newSession();
    Variant v;
    String text;
    check(ftp->Connect(u"127.0.0.1", server.portText(), server.user(), server.password(), &v));
    check(ftp->ChangeDirectory(server.home(), &v));
    check(ftp->TransferType(ftp_BINARY, &text));
    check(ftp->PutFile(u"b.bin", pathText(local / "up.bin"), &text));
    check(ftp->GetFile(u"b.bin", pathText(local / "down.bin"), &text));
    check(ftp->Disconnect(&v));
    return readFile(local / "down.bin") == content ? "" : "the downloaded file differs from its source";
  } catch (const Error& e) {
    return "error " + std::to_string(e.number()) + " " + toUtf8(e.description());
  } catch (const std::exception& e) {
    return e.what();
  }
}

TEST(FtpSessionsOnOneThread, ATransferCompletesInsideAnotherSessionsWaitThatThenTimesOut) {
  SKEIN10_SKIP_WITHOUT(VsftpdServer);
  PrivateStore store;
  store.add(SKEIN10_LIBRARY);
  VsftpdServer real;
  TempDir local;
  ScriptedFtpServer quiet([](ScriptedFtpServer::Session& s) {
    playLogin(s);
    s.expect("CWD quiet");
    s.waitClientClosed();
  });
  Ref<_clsKvInetFTPConnection> a = newSession();
  Variant v;
  check(a->put_TimeOut(kQuietTimeOut));
  check(a->Connect(u"127.0.0.1", quiet.portText(), u"bob", u"pw", &v));

  bool waiting = false;
  bool ranInsideTheWait = false;
  std::string problem = "the callback did not run";
  post([&] {
    ranInsideTheWait = waiting;
    problem = transferOnce(real, local);
  });
  waiting = true;
  const Clock::time_point start = Clock::now();
  const Status status = a->ChangeDirectory(u"quiet", &v);
  waiting = false;

  EXPECT_TRUE(ranInsideTheWait);
  EXPECT_EQ(problem, "");
  EXPECT_EQ(readFile(real.root() / "b.bin"), readFile(local / "up.bin"));
  EXPECT_EQ(sessionErrorOf(status), u"The servers response has timed out.");
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(kQuietTimeOut));
  a.reset();
  quiet.finish();
}

}  // namespace
}  // namespace skein10::test

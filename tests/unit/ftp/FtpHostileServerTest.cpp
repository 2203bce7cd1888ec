// Servers that misbehave: late replies, refused and reset connections,
// endless or garbled text, and data connections that stall. Every member
// ends with an error, soon, and leaves the session able to connect again
// and the local file as it was.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>

#include "FtpTestSession.h"
#include "TempDir.h"
#include "TestFiles.h"
#include "skein10/Events.h"

namespace skein10::test {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

constexpr char16_t kTimedOut[] = u"The servers response has timed out.";
constexpr char16_t kServerClosed[] = u"The server closed the connection.";
constexpr char16_t k550[] =
    u"The requested file/directory action was aborted because the file/directory was not found or you don't "
    u"have access.";

// Generous room for a busy machine on top of the TimeOut a wait may take.
constexpr milliseconds kSlack{4000};

// Sends unless the client has gone; false once it has.
bool sendWhileClientStays(Session& s, const std::string& text) {
  if (s.clientSentAnything()) return false;
  try {
    s.send(text);
    return true;
  } catch (const std::runtime_error&) {
    return false;
  }
}

class FtpHostileServer : public FtpSessionTest {
 protected:
  TempDir local;
  std::filesystem::path target = local / "target.bin";

  // The session still works: it logs in to a well-behaved server.
  void expectCanConnectAgain() {
    ScriptedFtpServer good(afterLogin());
    EXPECT_EQ(connect(good), Status::Ok);
    Variant v;
    EXPECT_EQ(ftp->Disconnect(&v), Status::Ok);
    good.finish();
  }
};

// A reply that comes after its command timed out pays off that command, not
// the next one: the next command gets its own reply or times out itself.
TEST_F(FtpHostileServer, LateReplyNeverAnswersTheNextCommand) {
  serve(afterLogin([](Session& s) {
    s.expect("CWD x");
    s.pause(milliseconds(1500));
    s.send("250 Directory changed\r\n");
    s.expect("MKD y");
    s.send("550 No permission\r\n");
    s.expect("RMD z");
    s.send("250 Removed\r\n");
  }));
  ASSERT_EQ(connect(), Status::Ok);
  check(ftp->put_TimeOut(1000));
  Variant v;
  EXPECT_EQ(sessionErrorOf(ftp->ChangeDirectory(u"x", &v)), kTimedOut);
  EXPECT_EQ(sessionErrorOf(ftp->MakeDirectory(u"y", &v)), k550);
  EXPECT_EQ(ftp->RemoveDirectory(u"z", &v), Status::Ok);
  // The late reply is still logged, in the order it came.
  String text = log();
  EXPECT_LT(text.find(u"CWD x"), text.find(u"250 Directory changed"));
  EXPECT_LT(text.find(u"250 Directory changed"), text.find(u"550 No permission"));
}

// A server that never answers one command is always one reply behind: every
// later command fails, none succeeds on the reply meant for another.
TEST_F(FtpHostileServer, UnansweredCommandLeavesLaterCommandsFailing) {
  serve(afterLogin([](Session& s) {
    s.expect("CWD x");
    s.expect("MKD y");
    s.send("550 No permission\r\n");
    s.expect("RNFR a");
    s.send("350 Ready\r\n");
    s.expect("DELE b");
    s.send("250 Deleted\r\n");
  }));
  ASSERT_EQ(connect(), Status::Ok);
  check(ftp->put_TimeOut(400));
  Variant v;
  String text;
  EXPECT_EQ(sessionErrorOf(ftp->ChangeDirectory(u"x", &v)), kTimedOut);
  EXPECT_EQ(sessionErrorOf(ftp->MakeDirectory(u"y", &v)), kTimedOut);
  EXPECT_EQ(sessionErrorOf(ftp->Rename(u"a", u"c", &text)), kTimedOut);
  EXPECT_EQ(sessionErrorOf(ftp->RemoveFile(u"b", &v)), kTimedOut);
  finish();
  EXPECT_EQ(server().received().find("RNTO"), std::string::npos);
}

// A refused connection, or a server that closes or resets the control
// connection at any step, ends the member at once (long before the default
// TimeOut of 20 s) with a description that says what happened.
TEST_F(FtpHostileServer, ControlConnectionFailuresEndTheWaitAtOnce) {
  enum class End { Close, Reset };
  struct Case {
    const char* name;
    std::function<void(Session&)> upTo;  // the dialogue before the server gives up
    End end;
    std::function<Status(clsKvInetFTPConnection&)> member;  // after a successful login, or Connect itself
  };
  auto greetingOnly = [](Session& s) { s.send("220 Ready\r\n"); };
  auto connectOnly = [](Session&) {};
  auto afterUser = [](Session& s) {
    s.send("220 Ready\r\n");
    s.expect("USER bob");
  };
  auto afterPass = [](Session& s) {
    s.send("220 Ready\r\n");
    playCredentials(s);
  };
  auto afterCwd = [](Session& s) {
    playLogin(s);
    s.expect("CWD x");
  };
  auto afterPasv = [](Session& s) {
    playLogin(s);
    s.expect("PASV");
  };
  auto midDownload = [](Session& s) {
    playLogin(s);
    TestSocket data = startDownload(s);
    data.send(randomBytes(5000, 1));
    s.pause(milliseconds(100));
    // The data connection goes with this scope, after the control one.
    s.close();
    s.pause(milliseconds(200));
  };
  auto cwd = [](clsKvInetFTPConnection& f) {
    Variant v;
    return f.ChangeDirectory(u"x", &v);
  };
  const std::filesystem::path* file = &target;
  auto get = [file](clsKvInetFTPConnection& f) {
    String r;
    return f.GetFile(u"x", pathText(*file), &r);
  };
  const Case cases[] = {
      {"close before the greeting", connectOnly, End::Close, nullptr},
      {"reset before the greeting", connectOnly, End::Reset, nullptr},
      {"close after the greeting", greetingOnly, End::Close, nullptr},
      {"close after USER", afterUser, End::Close, nullptr},
      {"reset after USER", afterUser, End::Reset, nullptr},
      {"close after PASS", afterPass, End::Close, nullptr},
      {"reset after PASS", afterPass, End::Reset, nullptr},
      {"close after CWD", afterCwd, End::Close, cwd},
      {"reset after CWD", afterCwd, End::Reset, cwd},
      {"close after PASV", afterPasv, End::Close, get},
      {"reset after PASV", afterPasv, End::Reset, get},
      {"close during a download", midDownload, End::Close, get},
  };
  for (const Case& c : cases) {
    writeFile(target, "old");
    runCase(
        c.name,
        [&](Session& s) {
          c.upTo(s);
          if (c.end == End::Reset) s.abort();
          s.close();
        },
        [&] {
          auto start = steady_clock::now();
          Status status = connect();
          if (c.member) {
            ASSERT_EQ(status, Status::Ok);
            status = c.member(*ftp);
          }
          const String description = sessionErrorOf(status);
          EXPECT_LT(steady_clock::now() - start, milliseconds(10000));
          if (c.end == End::Close) {
            EXPECT_EQ(description, kServerClosed);
            // The close handler still writes its reason into the shared fields.
            EXPECT_EQ(ftp->sink().ftpEventReason, u"Disconnected...");
          } else {
            EXPECT_EQ(description.rfind(u"The connection to the server failed: ", 0), 0u) << toUtf8(description);
            EXPECT_NE(description.find(u"(socket error 10054)."), String::npos) << toUtf8(description);
          }
          EXPECT_EQ(readFile(target), "old");
          EXPECT_EQ(ftp->sink().ftpWriteFileNum, 0);
          server().finish();
          expectCanConnectAgain();
        });
  }
}

// Once the server has reported the end of a transfer, losing the control
// connection doesn't cost the download: its data still ends normally.
TEST_F(FtpHostileServer, ControlLostAfterTheTransferEndLetsTheDownloadFinish) {
  serve([](Session& s) {
    playLogin(s);
    TestSocket data = startDownload(s);
    data.send("payload");
    s.send("226 Done\r\n");
    s.abort();
    s.pause(milliseconds(300));
    data.send(" and the rest");
    data.close();
  });
  ASSERT_EQ(connect(), Status::Ok);
  String result;
  EXPECT_EQ(ftp->GetFile(u"x", pathText(target), &result), Status::Ok);
  EXPECT_EQ(readFile(target), "payload and the rest");
}

TEST_F(FtpHostileServer, RefusedConnectionFailsAtOnceNamingTheSocketError) {
  const int port = TestSocket::freePort();
  auto start = steady_clock::now();
  Variant v;
  std::string portText = std::to_string(port);
  Error e = errorOf(ftp->Connect(u"127.0.0.1", String(portText.begin(), portText.end()), u"bob", u"pw", &v));
  EXPECT_LT(steady_clock::now() - start, milliseconds(10000));
  EXPECT_EQ(e.number(), 8);
  EXPECT_EQ(e.description(),
            u"The connection to the server failed: Connection is forcefully rejected (socket error 10061).");
  EXPECT_EQ(log(), u"");
  expectCanConnectAgain();
}

// Text no server should send, and data connections that stall: each member
// ends with an error within its TimeOut (plus room for a busy machine),
// memory stays bounded and the local file stays as it was.
TEST_F(FtpHostileServer, GarbageAndStallsEndWithAnError) {
  constexpr int kTimeOut = 1000;
  struct Case {
    const char* name;
    std::function<void(Session&)> script;  // after the login, answering a download
    const char16_t* description;           // nullptr: any session error
  };
  const Case cases[] = {
      {"a 1 MiB reply line without an end",
       [](Session& s) {
         s.expect("PASV");
         s.send(std::string(1 << 20, 'A'));
       },
       kTimedOut},
      {"binary garbage with NUL bytes",
       [](Session& s) {
         s.expect("PASV");
         std::string garbage;
         for (int i = 0; i < 4096; ++i) garbage.push_back(static_cast<char>(i % 7 == 0 ? 0 : (i * 37) % 256));
         s.send(garbage);
       },
       nullptr},
      {"227 with huge numbers",
       [](Session& s) {
         s.expect("PASV");
         s.send("227 Entering Passive Mode (127,0,0,1,99999999999999999999,1).\r\n");
       },
       nullptr},
      {"227 with negative numbers",
       [](Session& s) {
         s.expect("PASV");
         s.send("227 Entering Passive Mode (127,0,0,1,-4,-1).\r\n");
       },
       nullptr},
      {"a data connection accepted and never served",
       [](Session& s) {
         TestSocket data = startDownload(s);
         s.waitClientClosed();
       },
       kTimedOut},
      {"226 with the data connection never closed",
       [](Session& s) {
         TestSocket data = startDownload(s);
         data.send("some data");
         s.send("226 Done\r\n");
         s.waitClientClosed();
       },
       kTimedOut},
      {"chatter on the control connection while the data stalls",
       [](Session& s) {
         TestSocket data = startDownload(s);
         data.send("some data");
         for (int i = 0; i < 12; ++i) {
           s.pause(milliseconds(900));
           if (!sendWhileClientStays(s, i % 2 ? "200 NOOP ok\r\n" : "120 Still working\r\n")) break;
         }
         s.waitClientClosed();
       },
       kTimedOut},
  };
  for (const Case& c : cases) {
    writeFile(target, "old");
    runCase(
        c.name,
        afterLogin([&](Session& s) {
          c.script(s);
        }),
        [&] {
          ASSERT_EQ(connect(), Status::Ok);
          check(ftp->put_TimeOut(kTimeOut));
          auto start = steady_clock::now();
          String result;
          String description = sessionErrorOf(ftp->GetFile(u"x", pathText(target), &result));
          EXPECT_LT(steady_clock::now() - start, milliseconds(kTimeOut) + kSlack);
          if (c.description) {
            EXPECT_EQ(description, c.description);
          }
          EXPECT_EQ(readFile(target), "old");
          EXPECT_EQ(folderListing(local.path()), "target.bin\n");
          EXPECT_LE(log().size(), std::size_t{40000} + (1 << 20));
          expectCanConnectAgain();
        });
  }
}

// An endless multi-line greeting can't hold Connect beyond its TimeOut.
TEST_F(FtpHostileServer, EndlessGreetingEndsByTheTimeOut) {
  serve([](Session& s) {
    for (int i = 0; i < 1000 && sendWhileClientStays(s, "220-Welcome, line " + std::to_string(i) + "\r\n"); ++i) {
      s.pause(milliseconds(10));
    }
    s.waitClientClosed();
  });
  check(ftp->put_TimeOut(1000));
  auto start = steady_clock::now();
  EXPECT_EQ(sessionErrorOf(connect()), kTimedOut);
  EXPECT_LT(steady_clock::now() - start, milliseconds(1000) + kSlack);
  finish();
  EXPECT_EQ(server().received(), "");
}

// A TimeOut changed while a wait is pending applies from the next wait on;
// the pending one keeps the bound it started with.
TEST_F(FtpHostileServer, TimeOutChangedDuringAWaitAppliesToTheNextWait) {
  serve(afterLogin([](Session& s) {
    s.expect("CWD x");
    s.pause(milliseconds(300));
    s.send("250 Okay\r\n");
  }));
  ASSERT_EQ(connect(), Status::Ok);
  post([this] { check(ftp->put_TimeOut(0)); });
  Variant v;
  EXPECT_EQ(ftp->ChangeDirectory(u"x", &v), Status::Ok);
  Error e = errorOf(ftp->ChangeDirectory(u"y", &v));
  EXPECT_EQ(e.number(), 5);
  EXPECT_EQ(e.description(), u"The TimeOut must be greater than 0 milliseconds.");
  finish();
  EXPECT_EQ(server().received().find("CWD y"), std::string::npos);
}

}  // namespace
}  // namespace skein10::test

// The control session against the scripted server: greeting, login, the
// reply framing, the log, time-outs and the checks made before sending.

#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <thread>
#include <vector>

#include "FtpTestSession.h"
#include "skein10/Dispatch.h"
#include "skein10/Events.h"

namespace skein10::test {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

constexpr char16_t kTimedOut[] = u"The servers response has timed out.";

class FtpControlSession : public FtpSessionTest {};

TEST_F(FtpControlSession, NewSessionHasItsDefaults) {
  String mode, text;
  int32_t timeOut = 0, maxLog = 0;
  check(ftp->get_ConnectionMode(&mode));
  check(ftp->get_TimeOut(&timeOut));
  check(ftp->get_MaxLogSize(&maxLog));
  EXPECT_EQ(mode, u"PASV");
  EXPECT_EQ(timeOut, 20000);
  EXPECT_EQ(maxLog, 40000);
  EXPECT_EQ(log(), u"");
}

TEST_F(FtpControlSession, ConnectionModeIsTrimmedAndUpperCased) {
  const std::pair<String, String> cases[] = {
      {u"  port ", u"PORT"}, {u"pasv", u"PASV"}, {u"\tport", u"\tPORT"}, {u"", u""}, {u" active", u"ACTIVE"}};
  for (const auto& [set, read] : cases) {
    check(ftp->put_ConnectionMode(set));
    String got;
    check(ftp->get_ConnectionMode(&got));
    EXPECT_EQ(got, read);
  }
}

TEST_F(FtpControlSession, LoginLogsTheDialogueWithTheMaskedPassword) {
  serve(afterLogin());
  ASSERT_EQ(connect(), Status::Ok);
  EXPECT_EQ(log(),
            u"220 Scripted server ready\r\nUSER bob\r\n331 Password please\r\nPASS ********\r\n230 Logged in\r\n");
  finish();
  EXPECT_EQ(server().received(), "USER bob\r\nPASS pw\r\n");
}

// The greeting's outcome does not depend on where the network cuts it: the
// client answers only after the reply's last line, every time.
TEST_F(FtpControlSession, GreetingSplitAtEveryPositionGivesTheSameOutcome) {
  const std::string greetings[] = {
      "220 Scripted server ready\r\n",
      "220-Welcome\r\n220-to the\r\n220 scripted server\r\n",
  };
  for (const std::string& greeting : greetings) {
    std::size_t lastLineEnd = greeting.rfind('\r');
    for (std::size_t cut = 1; cut < greeting.size(); ++cut) {
      bool answeredEarly = false;
      runCase(
          greeting.substr(0, cut),
          [&](Session& s) {
            s.send(greeting.substr(0, cut));
            s.pause(milliseconds(30));
            answeredEarly = cut <= lastLineEnd && s.clientSentAnything();
            playLogin(s, std::string_view(greeting).substr(cut));
            s.waitClientClosed();
          },
          [&] {
            EXPECT_EQ(connect(), Status::Ok);
            // Cut between the last CR and its LF, the client may answer before the LF comes.
            if (cut <= lastLineEnd) {
              EXPECT_EQ(log(), fromUtf8(greeting) +
                                   u"USER bob\r\n331 Password please\r\nPASS ********\r\n230 Logged in\r\n");
            }
          });
      EXPECT_FALSE(answeredEarly);
    }
  }
}

// A multi-line reply cut right after its code must not end the wait, and its
// last line must not answer the next command.
TEST_F(FtpControlSession, MultiLineReplyCutAfterItsCodeLeavesNoStaleOutcome) {
  serve(afterLogin([](Session& s) {
    s.expect("CWD docs");
    s.sendChunks("250-Directory\r\n250 changed\r\n", {3, 16});
    s.expect("MKD new");
    s.send("550 No permission\r\n");
  }));
  ASSERT_EQ(connect(), Status::Ok);
  Variant result;
  EXPECT_EQ(ftp->ChangeDirectory(u"docs", &result), Status::Ok);
  EXPECT_EQ(sessionErrorOf(ftp->MakeDirectory(u"new", &result)),
            u"The requested file/directory action was aborted because the file/directory was not found or you "
            u"don't have access.");
}

TEST_F(FtpControlSession, BareLineFeedsAndSpacesBeforeTheCode) {
  serve([](Session& s) {
    s.send("220-Hello\n220 there\n");
    s.expect("USER bob");
    s.send("   331 Password please\n");
    s.expect("PASS pw");
    s.send("  230 Logged in\n");
    s.waitClientClosed();
  });
  EXPECT_EQ(connect(), Status::Ok);
  EXPECT_EQ(ftp->sink().ftpEventReason, u"The login is valid and you may proceed.");
}

TEST_F(FtpControlSession, ErrorRepliesRaiseTheSessionError) {
  serve([](Session& s) {
    s.send("421 Too many users\r\n");
    s.waitClientClosed();
  });
  EXPECT_EQ(sessionErrorOf(connect()), u"Service not available, your connection has been terminated.");
}

TEST_F(FtpControlSession, LineRepliesKeepTheTrimmedLineAsReason) {
  serve(afterLogin([](Session& s) {
    s.expect("MKD a b");
    s.send("  257 \"/a b\" created  \r\n");
  }));
  ASSERT_EQ(connect(), Status::Ok);
  Variant result = u"not empty";
  EXPECT_EQ(ftp->MakeDirectory(u"a b", &result), Status::Ok);
  EXPECT_TRUE(result.isEmpty());
  EXPECT_EQ(ftp->sink().ftpEventReason, u"257 \"/a b\" created");
}

// Replies that don't end a command wait, and a server that says nothing:
// each wait ends with the time-out after TimeOut milliseconds.
TEST_F(FtpControlSession, WaitsEndByTheTimeOut) {
  struct Case {
    const char* name;
    std::function<void(Session&)> reply;  // after the login and "CWD x"
  };
  const Case cases[] = {
      {"unknown preliminary code", [](auto& s) { s.send("120 Wait a while\r\n"); }},
      {"transfer end alone", [](auto& s) { s.send("226 Done\r\n"); }},
      {"silence", [](auto&) {}},
  };
  for (const Case& c : cases) {
    runCase(
        c.name,
        afterLogin([&](Session& s) {
          s.expect("CWD x");
          c.reply(s);
        }),
        [&] {
          ASSERT_EQ(connect(), Status::Ok);
          check(ftp->put_TimeOut(300));
          auto start = steady_clock::now();
          Variant result;
          EXPECT_EQ(sessionErrorOf(ftp->ChangeDirectory(u"x", &result)), kTimedOut);
          auto waited = steady_clock::now() - start;
          EXPECT_GE(waited, milliseconds(290));
          EXPECT_LT(waited, milliseconds(15000));
        });
  }
}

TEST_F(FtpControlSession, SilentServerTimesOutTheGreeting) {
  serve([](Session& s) { s.waitClientClosed(); });
  check(ftp->put_TimeOut(300));
  EXPECT_EQ(sessionErrorOf(connect()), kTimedOut);
  EXPECT_EQ(log(), u"");
}

TEST_F(FtpControlSession, VeryLargeTimeOutWorks) {
  serve(afterLogin());
  check(ftp->put_TimeOut(std::numeric_limits<int32_t>::max()));
  EXPECT_EQ(connect(), Status::Ok);
}

// Checks made before anything goes out: the connection is never attempted.
TEST_F(FtpControlSession, BadConnectArgumentsFailBeforeConnecting) {
  TestSocket listener = TestSocket::listen("127.0.0.1");
  std::string portText = std::to_string(listener.localPort());
  String port(portText.begin(), portText.end());
  struct Case {
    String port, login, pass;
    int32_t timeOut;
    int32_t number;
    const char16_t* description;  // nullptr: the runtime's own text
  };
  const Case cases[] = {
      {u"ftp", u"bob", u"pw", 1000, 13, nullptr},
      {u"99999999999", u"bob", u"pw", 1000, 6, nullptr},
      {u"0", u"bob", u"pw", 1000, 5, u"The port must be a number from 1 to 65535."},
      {u"65536", u"bob", u"pw", 1000, 5, u"The port must be a number from 1 to 65535."},
      {u"-21", u"bob", u"pw", 1000, 5, u"The port must be a number from 1 to 65535."},
      {port, u"bob\r\nDELE x", u"pw", 1000, 5, u"A command argument can't contain CR, LF or NUL characters."},
      {port, u"bob", String(u"p\0w", 3), 1000, 5, u"A command argument can't contain CR, LF or NUL characters."},
      {port, u"bob", u"pw", 0, 5, u"The TimeOut must be greater than 0 milliseconds."},
      {port, u"bob", u"pw", -5, 5, u"The TimeOut must be greater than 0 milliseconds."},
  };
  for (const Case& c : cases) {
    check(ftp->put_TimeOut(c.timeOut));
    Variant result;
    Error e = errorOf(ftp->Connect(u"127.0.0.1", c.port, c.login, c.pass, &result));
    EXPECT_EQ(e.number(), c.number);
    if (c.description) {
      EXPECT_EQ(e.source(), u"FTP Command");
      EXPECT_EQ(e.description(), c.description);
    } else {
      EXPECT_EQ(e.description(), runtimeErrorText(c.number));
    }
  }
  DoEvents();
  EXPECT_FALSE(listener.readable(milliseconds(200)));
  EXPECT_EQ(log(), u"");
}

TEST_F(FtpControlSession, UnsafeArgumentsAndZeroTimeOutSendNothing) {
  serve(afterLogin());
  ASSERT_EQ(connect(), Status::Ok);
  String before = log();
  Variant v;
  String text;
  const String unsafe[] = {u"a\rb", u"a\nRMD /", String(u"a\0b", 3)};
  for (const String& bad : unsafe) {
    EXPECT_EQ(errorOf(ftp->ChangeDirectory(bad, &v)).number(), 5);
    EXPECT_EQ(errorOf(ftp->MakeDirectory(bad, &v)).number(), 5);
    EXPECT_EQ(errorOf(ftp->RemoveFile(bad, &v)).number(), 5);
    EXPECT_EQ(errorOf(ftp->RemoveDirectory(bad, &v)).number(), 5);
    EXPECT_EQ(errorOf(ftp->Rename(u"ok", bad, &text)).number(), 5);
    EXPECT_EQ(errorOf(ftp->Rename(bad, u"ok", &text)).number(), 5);
  }
  check(ftp->put_TimeOut(0));
  Error e = errorOf(ftp->ChangeDirectory(u"x", &v));
  EXPECT_EQ(e.number(), 5);
  EXPECT_EQ(e.description(), u"The TimeOut must be greater than 0 milliseconds.");
  EXPECT_EQ(errorOf(ftp->TransferType(ftp_ASCII, &text)).number(), 5);
  EXPECT_EQ(log(), before);
  finish();
  EXPECT_EQ(server().received(), "USER bob\r\nPASS pw\r\n");
}

// A host handler that calls the session while it waits is turned away; the
// pending wait goes on undisturbed.
TEST_F(FtpControlSession, CallFromAnEventHandlerDuringAWaitFails) {
  serve([](Session& s) {
    s.pause(milliseconds(100));
    playLogin(s);
    s.waitClientClosed();
  });
  Status inner = Status::Ok;
  std::optional<Error> innerError;
  post([&] {
    Variant v;
    inner = ftp->ChangeDirectory(u"x", &v);
    if (inner != Status::Ok) innerError = takeError();
  });
  EXPECT_EQ(connect(), Status::Ok);
  ASSERT_EQ(inner, Status::Failed);
  EXPECT_EQ(innerError->number(), 5);
  EXPECT_EQ(innerError->source(), u"FTP Command");
  finish();
  EXPECT_EQ(server().received(), "USER bob\r\nPASS pw\r\n");
}

// A session belongs to the thread that created it: a call from any other
// thread, direct or late-bound, is refused at once instead of waiting on a
// loop that thread never pumps.
TEST_F(FtpControlSession, MembersCalledFromAnotherThreadFailAtOnce) {
  serve(afterLogin());
  ASSERT_EQ(connect(), Status::Ok);
  std::vector<Error> errors;
  std::thread other([&] {
    Variant v;
    String text;
    int32_t number = 0;
    errors.push_back(errorOf(ftp->ChangeDirectory(u"x", &v)));
    errors.push_back(errorOf(ftp->GetFile(u"x", u"/tmp/never", &text)));
    errors.push_back(errorOf(ftp->Disconnect(&v)));
    errors.push_back(errorOf(ftp->put_TimeOut(5)));
    errors.push_back(errorOf(ftp->get_MaxLogSize(&number)));
    Object& object = *ftp;
    std::vector<Variant> arguments{Variant(u"x")};
    errors.push_back(errorOf(object.Invoke(0x60030009, InvokeKind::Method, arguments, &v)));
  });
  other.join();
  ASSERT_EQ(errors.size(), 6u);
  for (const Error& e : errors) {
    EXPECT_EQ(e.number(), errc::WrongThread);
    EXPECT_NE(e.description().find(u"another thread"), String::npos);
  }
  int32_t timeOut = 0;
  check(ftp->get_TimeOut(&timeOut));
  EXPECT_EQ(timeOut, 20000);
  // The owner still uses the session as before.
  Variant v;
  EXPECT_EQ(ftp->Disconnect(&v), Status::Ok);
  finish();
  EXPECT_EQ(server().received(), "USER bob\r\nPASS pw\r\nQUIT\r\n");
}

TEST_F(FtpControlSession, DisconnectSendsAnUnloggedQuitAndAllowsReconnecting) {
  serve(afterLogin());
  ASSERT_EQ(connect(), Status::Ok);
  const String loggedIn = log();
  Variant result = u"x";
  EXPECT_EQ(ftp->Disconnect(&result), Status::Ok);
  EXPECT_TRUE(result.isEmpty());
  EXPECT_EQ(log(), loggedIn);
  server().finish();
  EXPECT_EQ(server().received(), "USER bob\r\nPASS pw\r\nQUIT\r\n");

  serve(afterLogin());
  EXPECT_EQ(connect(), Status::Ok);
  EXPECT_EQ(log().size(), 2 * loggedIn.size());
}

TEST_F(FtpControlSession, DisconnectWithoutConnectionFailsWithTheSocketError) {
  Variant result;
  Error e = errorOf(ftp->Disconnect(&result));
  EXPECT_NE(e.number(), 0);
  EXPECT_EQ(log(), u"");
}

TEST_F(FtpControlSession, LateBoundCallsReachTheMembers) {
  serve(afterLogin([](Session& s) {
    s.expect("TYPE I");
    s.send("200 Type set to I\r\n");
  }));
  Object& object = *ftp;
  EXPECT_TRUE(call(object, u"connect", {u"127.0.0.1", server().portText(), u"bob", u"pw"}).isEmpty());
  EXPECT_EQ(call(object, u"TransferType", {int32_t{0}}), Variant(String()));
  std::vector<Variant> none;
  Variant logData;
  check(object.Invoke(0x68030000, InvokeKind::Get, none, &logData));
  EXPECT_EQ(logData.toString(), log());
  // A value that is neither type sends nothing.
  EXPECT_EQ(call(object, u"TransferType", {int32_t{2}}), Variant(String()));
  finish();
  EXPECT_EQ(server().received(), "USER bob\r\nPASS pw\r\nTYPE I\r\n");
}

}  // namespace
}  // namespace skein10::test

// The cause every session error names (Error::failure): what kind of failure
// it was, the command it belongs to and the server's own reply line, so that
// hosts act on it without reading the description.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "FtpTestSession.h"
#include "TempDir.h"
#include "skein10/Failure.h"

namespace skein10::test {
namespace {

using std::chrono::milliseconds;

class FtpFailureCause : public FtpSessionTest {};

struct Case {
  const char* name;
  std::function<void(Session&)> script;  // after the greeting and login
  std::function<Status(clsKvInetFTPConnection&)> member;
  FailureKind kind;
  const char16_t* command;
  const char16_t* reply;
};

TEST_F(FtpFailureCause, SessionErrorsNameTheirCause) {
  TempDir dir;
  const String local = fromUtf8((dir / "local.bin").string());
  const Case cases[] = {
      {"refused command",
       [](Session& s) {
         s.expect("CWD x");
         s.send("550 x: No such directory\r\n");
       },
       [](clsKvInetFTPConnection& f) { Variant v; return f.ChangeDirectory(u"x", &v); },
       FailureKind::ServerReply, u"CWD", u"550 x: No such directory"},
      {"refused download",
       [](Session& s) {
         TestSocket data = passiveData(s);
         s.expect("RETR x");
         s.send("550 x: No such file\r\n");
       },
       [&local](clsKvInetFTPConnection& f) { String r; return f.GetFile(u"x", local, &r); },
       FailureKind::ServerReply, u"RETR", u"550 x: No such file"},
      {"aborted download",
       [](Session& s) {
         TestSocket data = startDownload(s);
         s.send("426 Transfer aborted\r\n");
         s.pause(milliseconds(100));
       },
       [&local](clsKvInetFTPConnection& f) { String r; return f.GetFile(u"x", local, &r); },
       FailureKind::ServerReply, u"RETR", u"426 Transfer aborted"},
      {"silent server",
       [](Session& s) {
         s.expect("MKD y");
         s.pause(milliseconds(600));
       },
       [](clsKvInetFTPConnection& f) { Variant v; return f.MakeDirectory(u"y", &v); },
       FailureKind::TimedOut, u"MKD", u""},
      {"closed control connection",
       [](Session& s) {
         s.expect("DELE z");
         s.close();
       },
       [](clsKvInetFTPConnection& f) { Variant v; return f.RemoveFile(u"z", &v); },
       FailureKind::Connection, u"DELE", u""},
      {"reset control connection",
       [](Session& s) {
         s.expect("RMD z");
         s.abort();
       },
       [](clsKvInetFTPConnection& f) { Variant v; return f.RemoveDirectory(u"z", &v); },
       FailureKind::Connection, u"RMD", u""},
      {"missing local file",
       [](Session&) {},
       [&dir](clsKvInetFTPConnection& f) {
         String r;
         return f.PutFile(u"x", fromUtf8((dir / "missing").string()), &r);
       },
       FailureKind::LocalFile, u"", u""},
  };
  for (const Case& c : cases) {
    runCase(
        c.name,
        afterLogin([&c](Session& s) {
          c.script(s);
        }),
        [&] {
          ASSERT_EQ(connect(), Status::Ok);
          check(ftp->put_TimeOut(300));
          const Error e = errorOf(c.member(*ftp));
          EXPECT_EQ(e.failure().kind, c.kind) << e.what();
          EXPECT_EQ(e.failure().command, c.command);
          EXPECT_EQ(e.failure().reply, c.reply);
        });
  }
}

TEST_F(FtpFailureCause, ServerReplyGivesItsCode) {
  EXPECT_EQ((Failure{FailureKind::ServerReply, u"RETR", u"550 No such file"}.replyCode()), 550);
  EXPECT_EQ((Failure{FailureKind::ServerReply, u"PASS", u"530"}.replyCode()), 530);
  EXPECT_EQ(Failure{}.replyCode(), 0);
  EXPECT_EQ((Failure{FailureKind::ServerReply, {}, u"5x0 odd"}.replyCode()), 0);
}

TEST_F(FtpFailureCause, LoginRefusalNamesTheLoginCommand) {
  serve([](Session& s) {
    s.send("220 Ready\r\n");
    playCredentials(s);
    s.send("530 Login incorrect.\r\n");
    s.waitClientClosed();
  });
  const Error e = errorOf(connect());
  EXPECT_EQ(e.failure().kind, FailureKind::ServerReply);
  EXPECT_EQ(e.failure().command, u"PASS");
  EXPECT_EQ(e.failure().replyCode(), 530);
}

TEST_F(FtpFailureCause, ConnectionFailuresNameTheirKind) {
  Variant v;
  const std::string port = std::to_string(TestSocket::freePort());
  Error refused = errorOf(ftp->Connect(u"127.0.0.1", fromUtf8(port), u"bob", u"pw", &v));
  EXPECT_EQ(refused.failure().kind, FailureKind::Connection);
  EXPECT_EQ(refused.failure().command, u"");
  Error unresolved = errorOf(ftp->Connect(u"no-such-host.invalid", u"21", u"bob", u"pw", &v));
  EXPECT_EQ(unresolved.failure().kind, FailureKind::HostNotFound) << unresolved.what();
}

}  // namespace
}  // namespace skein10::test

// Which command each reply answers: a reply ends only its own command's
// wait, a 1xx belongs only to a transfer, a final reply the table doesn't
// know still ends its command's wait, and a transfer's final reply pays it
// whether or not its 1xx came first. Every case runs with the replies in one
// segment and again cut in two.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "FtpTestSession.h"
#include "TempDir.h"
#include "TestFiles.h"

namespace skein10::test {
namespace {


constexpr char16_t k550[] =
    u"The requested file/directory action was aborted because the file/directory was not found or you don't "
    u"have access.";
constexpr char16_t k553[] =
    u"The requested file/directory action was aborted because the file/directory name was not allowed.";

// The replies as one segment, or cut in two at `cut` (0: one segment).
void sendReplies(Session& s, const std::string& replies, std::size_t cut) {
  if (cut == 0) return s.send(replies);
  s.sendChunks(replies, {cut});
}

// A member of the session and the outcome it should have: success when
// `error` is empty, else the session error with that description.
struct Outcome {
  std::function<Status(clsKvInetFTPConnection&)> member;
  String error;
};

Outcome cwd(const char16_t* folder, String error = {}) {
  return {[folder](clsKvInetFTPConnection& f) {
            Variant v;
            return f.ChangeDirectory(folder, &v);
          },
          std::move(error)};
}

class FtpReplyPairing : public FtpSessionTest {
 protected:
  // One case, traced by `name`: logs in, plays `script`, then runs
  // `outcome.member` and checks it, and after it a CWD whose own reply must
  // answer it: the dialogue is in step.
  void expectOutcome(const std::string& name, const std::function<void(Session&)>& script, const Outcome& outcome) {
    runCase(
        name,
        afterLogin([&](Session& s) {
          script(s);
          s.expect("CWD next");
          s.send("250 In step\r\n");
        }),
        [&] {
          ASSERT_EQ(connect(), Status::Ok);
          const Status status = outcome.member(*ftp);
          if (outcome.error.empty()) {
            EXPECT_EQ(status, Status::Ok) << toUtf8(takeError().description());
          } else {
            const Error e = errorOf(status);
            EXPECT_EQ(e.description(), outcome.error);
            EXPECT_EQ(e.failure().kind, FailureKind::ServerReply);
          }
          EXPECT_EQ(cwd(u"next").member(*ftp), Status::Ok);
        });
  }
};

// RNFR's own reply decides whether RNTO goes out: an error reply that comes
// right after it answers nothing, and Rename reports RNTO's outcome.
TEST_F(FtpReplyPairing, RenameSendsRntoOnRnfrsOwnReplyAndReportsRntosOutcome) {
  for (std::size_t cut : {std::size_t{0}, std::size_t{5}}) {
    for (const char* rntoReply : {"250 Renamed\r\n", "553 Bad name\r\n"}) {
      const bool refused = rntoReply[0] == '5';
      expectOutcome(
          std::string(rntoReply) + (cut ? " in two segments" : " in one segment"),
          [&](Session& s) {
            s.expect("RNFR a");
            sendReplies(s, "350 Ready\r\n550 Stray\r\n", cut);
            s.expect("RNTO b");
            s.send(rntoReply);
          },
          {[](clsKvInetFTPConnection& f) {
             String result;
             return f.Rename(u"a", u"b", &result);
           },
           refused ? String(k553) : String()});
    }
  }
}

// A 1xx to a command that opens no transfer is logged and pays nothing: the
// command's final reply decides.
TEST_F(FtpReplyPairing, PreliminaryReplyToACommandWithoutTransferLeavesItsFinalReplyOwed) {
  struct Case {
    const char* command;
    std::string replies;
    Outcome outcome;
  };
  const Case cases[] = {
      {"CWD x", "150 Opening\r\n550 No such folder\r\n", cwd(u"x", k550)},
      {"CWD x", "125 Starting\r\n110 Marker\r\n250 Changed\r\n", cwd(u"x")},
      {"MKD d", "150 Opening\r\n257 \"/d\" created\r\n",
       {[](clsKvInetFTPConnection& f) {
          Variant v;
          return f.MakeDirectory(u"d", &v);
        },
        {}}},
      {"DELE f", "150 Opening\r\n553 Not allowed\r\n",
       {[](clsKvInetFTPConnection& f) {
          Variant v;
          return f.RemoveFile(u"f", &v);
        },
        k553}},
  };
  for (const Case& c : cases) {
    // Cut after the 1xx: the client has nothing to send in between.
    for (std::size_t cut : {std::size_t{0}, c.replies.find('\n') + 1}) {
      expectOutcome(
          c.replies + (cut ? " in two segments" : " in one segment"),
          [&](Session& s) {
            s.expect(c.command);
            sendReplies(s, c.replies, cut);
          },
          c.outcome);
    }
  }
}

// A final reply outside the reply table ends its command's wait at once: an
// error (4xx, 5xx) with the server's own text, a success (2xx), or the
// intermediate success the command expects (3xx).
TEST_F(FtpReplyPairing, UnknownFinalReplyEndsItsCommandsWaitByItsClass) {
  struct Case {
    const char* name;
    std::function<void(Session&, std::size_t)> script;  // after the login; the cut
    Outcome outcome;
  };
  TempDir local;
  const std::filesystem::path target = local / "target.bin";
  const Case cases[] = {
      {"554 to DELE",
       [](Session& s, std::size_t cut) {
         s.expect("DELE f");
         sendReplies(s, "554 Refused by policy\r\n", cut);
       },
       {[](clsKvInetFTPConnection& f) {
          Variant v;
          return f.RemoveFile(u"f", &v);
        },
        u"554 Refused by policy"}},
      {"a multi-line 459 to CWD",
       [](Session& s, std::size_t cut) {
         s.expect("CWD x");
         sendReplies(s, "459-Not now\r\n459 try later\r\n", cut);
       },
       cwd(u"x", u"459 try later")},
      {"522 to PORT",
       [](Session& s, std::size_t cut) {
         s.readLine();
         sendReplies(s, "522 Use another protocol\r\n", cut);
       },
       {[&target](clsKvInetFTPConnection& f) {
          check(f.put_ConnectionMode(u"PORT"));
          String result;
          return f.GetFile(u"x", pathText(target), &result);
        },
        u"522 Use another protocol"}},
      {"221 to CWD", [](Session& s, std::size_t cut) {
         s.expect("CWD x");
         sendReplies(s, "221 Fine\r\n", cut);
       },
       cwd(u"x")},
      {"399 to RNFR",
       [](Session& s, std::size_t cut) {
         s.expect("RNFR a");
         sendReplies(s, "399 Go on\r\n", cut);
         s.expect("RNTO b");
         s.send("250 Renamed\r\n");
       },
       {[](clsKvInetFTPConnection& f) {
          String result;
          return f.Rename(u"a", u"b", &result);
        },
        {}}},
  };
  for (const Case& c : cases) {
    for (std::size_t cut : {std::size_t{0}, std::size_t{2}}) {
      const std::string name = std::string(c.name) + (cut ? " in two segments" : " in one segment");
      writeFile(target, "old");
      expectOutcome(name, [&](Session& s) { c.script(s, cut); }, c.outcome);
      SCOPED_TRACE(name);
      EXPECT_EQ(readFile(target), "old");
    }
  }
}

// 534 to AUTH TLS refuses TLS at once, with the server's text, and nothing
// of the login goes out.
TEST_F(FtpReplyPairing, UnknownRefusalOfAuthTlsEndsConnectAtOnce) {
  for (std::size_t cut : {std::size_t{0}, std::size_t{2}}) {
    const char* name = cut ? "two segments" : "one segment";
    runCase(
        name,
        [&](Session& s) {
          s.send("220 Ready\r\n");
          s.expect("AUTH TLS");
          sendReplies(s, "534 Policy forbids TLS\r\n", cut);
          s.waitClientClosed();
        },
        [&] {
          Variant v;
          EXPECT_EQ(sessionErrorOf(ftp->Connect(u"ftpes://127.0.0.1", server().portText(), u"bob", u"pw", &v)),
                    u"The server refused TLS (AUTH TLS): 534 Policy forbids TLS");
        });
    SCOPED_TRACE(name);
    EXPECT_EQ(server().received(), "AUTH TLS\r\n");
  }
}

// A transfer's final reply pays the transfer even when it comes before the
// 1xx; a 1xx after it pays nothing; the next command gets its own reply.
TEST_F(FtpReplyPairing, TransferEndPaysTheTransferWhetherOrNotItsPreliminaryCameFirst) {
  TempDir local;
  const std::filesystem::path target = local / "target.bin";
  const std::string content = randomBytes(70000, 17);
  const std::string orders[] = {
      "226 Done\r\n150 Opening\r\n",
      "150 Opening\r\n226 Done\r\n150 Opening again\r\n",
      "226 Done\r\n",
  };
  for (const std::string& replies : orders) {
    for (std::size_t cut : {std::size_t{0}, replies.find('\n') + 1}) {
      if (cut == replies.size()) continue;  // one reply: no second segment
      const std::string name = replies + (cut ? " in two segments" : " in one segment");
      expectOutcome(
          name,
          [&](Session& s) {
            TestSocket data = passiveData(s);
            s.expect("RETR x");
            sendReplies(s, replies, cut);
            data.send(content);
            data.close();
          },
          {[&](clsKvInetFTPConnection& f) {
             String result;
             return f.GetFile(u"x", pathText(target), &result);
           },
           {}});
      SCOPED_TRACE(name);
      EXPECT_TRUE(readFile(target) == content);
    }
  }
}

// The late replies of a download that timed out pay that download, never
// the next one: its end (or its abort) is the one its own reply reports.
TEST_F(FtpReplyPairing, LateRepliesOfATransferThatGaveUpNeverEndTheNextOne) {
  TempDir local;
  const std::filesystem::path target = local / "target.bin";
  writeFile(target, "old");
  serve(afterLogin([](Session& s) {
    TestSocket first = passiveData(s);
    s.expect("RETR a");  // no reply: the client times out
    s.expect("PASV");
    const int port = s.listenData();
    s.send("150 Opening a\r\n226 Done with a\r\n" + Session::passiveReply("127.0.0.1", port));
    TestSocket second = s.acceptData();
    s.expect("RETR b");
    s.send("150 Opening b\r\n");
    second.send(randomBytes(5000, 3));
    s.pause(std::chrono::milliseconds(50));
    s.send("426 Connection closed; transfer aborted.\r\n");
    s.pause(std::chrono::milliseconds(50));
    second.close();
    s.expect("CWD next");
    s.send("250 In step\r\n");
  }));
  ASSERT_EQ(connect(), Status::Ok);
  check(ftp->put_TimeOut(1000));
  String result;
  EXPECT_EQ(sessionErrorOf(ftp->GetFile(u"a", pathText(target), &result)), u"The servers response has timed out.");
  check(ftp->put_TimeOut(20000));
  EXPECT_EQ(sessionErrorOf(ftp->GetFile(u"b", pathText(target), &result)), u"Connection closed; transfer aborted.");
  EXPECT_EQ(readFile(target), "old");
  EXPECT_EQ(cwd(u"next").member(*ftp), Status::Ok);
}

}  // namespace
}  // namespace skein10::test

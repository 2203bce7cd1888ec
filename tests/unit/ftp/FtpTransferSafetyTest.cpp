// Transfers that must neither pass off partial data as whole nor leak: a TLS
// data connection that ends without the closing alert, closed data
// connections whose server never ends them, and the file a download writes
// beside its target.

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "FtpTestSession.h"
#include "TempDir.h"
#include "TestCertificates.h"
#include "TestFiles.h"
#include "ftp/FtpError.h"
#include "platform/events/EventLoop.h"

namespace skein10::test {
namespace {

using std::chrono::milliseconds;

constexpr char16_t kCutShort[] =
    u"The data connection ended without TLS's closing alert: its data may have been cut short.";

// The login of playLogin, through TLS on the control connection.
void playTlsLogin(Session& s, bool tls12) {
  s.send("220 Ready\r\n");
  s.expect("AUTH TLS");
  s.send("234 Proceed with negotiation.\r\n");
  s.startTls(tls12);
  playCredentials(s);
  s.send("230 Logged in\r\n");
  s.expect("PBSZ 0");
  s.send("200 PBSZ=0\r\n");
  s.expect("PROT P");
  s.send("200 Protection set to Private\r\n");
}

std::size_t openDescriptors() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

class FtpTransferSafety : public FtpSessionTest {
 protected:
  TempDir local;
  std::filesystem::path target = local / "target.bin";
};

// A TLS data connection that ends with a plain TCP end, without the closing
// alert, may have been cut short by anyone on the path, even when the server
// then reports 226: the listing or download fails and the local file keeps
// its content, unless the 150 reply stated the size and exactly that many
// bytes came. The closing alert makes any end a normal one.
TEST_F(FtpTransferSafety, TlsDataEndedWithoutTheClosingAlertFailsUnlessTheStatedSizeArrived) {
  TestCertificates::shared();
  const std::string content = randomBytes(200000, 9);
  const std::string half = content.substr(0, content.size() / 2);
  const std::string sizeReply = "150 Opening BINARY mode data connection for x (" + std::to_string(content.size()) +
                                " bytes).\r\n";
  struct Case {
    const char* name;
    const char* command;
    std::string reply;  // the 150 reply
    std::size_t cut;    // where the 150 reply is cut in two; 0: one segment
    const std::string* sent;
    bool alert;
    bool whole;  // the member succeeds
  };
  const Case cases[] = {
      {"half, no alert", "RETR x", "150 Opening\r\n", 0, &half, false, false},
      {"half, no alert, whole size stated", "RETR x", sizeReply, 0, &half, false, false},
      {"whole, no alert, no size stated", "RETR x", "150 Opening\r\n", 0, &content, false, false},
      {"whole, no alert, its size stated", "RETR x", sizeReply, 0, &content, false, true},
      {"whole, no alert, its size stated in two segments", "RETR x", sizeReply, sizeReply.find('(') + 3, &content,
       false, true},
      {"whole with the alert", "RETR x", "150 Opening\r\n", 0, &content, true, true},
      {"a listing without the alert", "LIST", "150 Here comes the listing\r\n", 0, &content, false, false},
      {"a listing with the alert", "LIST", "150 Here comes the listing\r\n", 0, &content, true, true},
  };
  for (bool tls12 : {false, true}) {
    for (const Case& c : cases) {
      writeFile(target, "old");
      runCase(
          std::string(c.name) + (tls12 ? " (TLS 1.2)" : " (TLS 1.3)"),
          [&](Session& s) {
            playTlsLogin(s, tls12);
            TestSocket data = passiveData(s);
            s.expect(c.command);
            if (c.cut == 0) {
              s.send(c.reply);
            } else {
              s.sendChunks(c.reply, {c.cut});
            }
            std::unique_ptr<TlsServerStream> tls = s.secureData(data);
            tls->send(*c.sent);
            if (c.alert) tls->closeNotify();
            tls->shutdownSend();
            s.send("226 Transfer complete\r\n");
            s.expect("CWD next");
            s.send("250 In step\r\n");
            s.waitClientClosed();
          },
          [&] {
            Variant v;
            ASSERT_EQ(ftp->Connect(u"ftpes://127.0.0.1", server().portText(), u"bob", u"pw", &v), Status::Ok);
            String result;
            const Status status = c.command == std::string("LIST") ? ftp->ListContents(pathText(target), &result)
                                                                    : ftp->GetFile(u"x", pathText(target), &result);
            if (c.whole) {
              EXPECT_EQ(status, Status::Ok) << toUtf8(takeError().description());
              EXPECT_TRUE(readFile(target) == *c.sent);
            } else {
              const Error e = errorOf(status);
              EXPECT_EQ(e.description(), kCutShort);
              EXPECT_EQ(e.failure().kind, FailureKind::DataConnection);
              EXPECT_EQ(e.failure().command, commandVerb(fromUtf8(c.command)));
              EXPECT_TRUE(readFile(target) == "old");
            }
            EXPECT_EQ(folderListing(local.path()), "target.bin\n");
            EXPECT_EQ(ftp->ChangeDirectory(u"next", &v), Status::Ok);
          });
    }
  }
}

// Against a server that reports each upload's end but never ends its side
// of the data connection, the session's descriptors stay flat however many
// uploads it makes: only a few closed connections wait for their peer.
TEST_F(FtpTransferSafety, ClosedDataConnectionsThatTheServerNeverEndsDontPileUp) {
  constexpr int kUploads = 40;
  const std::filesystem::path source = local / "source.bin";
  writeFile(source, "small upload");
  std::vector<TestSocket> kept;  // the server's ends, open until the session is gone
  runCase(
      std::to_string(kUploads) + " uploads",
      afterLogin([&](Session& s) {
        for (int i = 0; i < kUploads; ++i) {
          TestSocket data = passiveData(s);
          s.expect("STOR up" + std::to_string(i));
          s.send("150 Ok to send data\r\n");
          data.receiveAll(ScriptedFtpServer::kPatience);
          s.send("226 Transfer complete\r\n");
          kept.push_back(std::move(data));
        }
      }),
      [&] {
        ASSERT_EQ(connect(), Status::Ok);
        const std::size_t before = openDescriptors();
        for (int i = 0; i < kUploads; ++i) {
          String result;
          ASSERT_EQ(ftp->PutFile(u"up" + fromUtf8(std::to_string(i)), pathText(source), &result), Status::Ok) << i;
        }
        // The server's thread holds one descriptor per upload; the session
        // only its sockets and the few closed connections still waiting.
        const std::size_t waiting = events::EventLoop::current()->closingConnections().size();
        EXPECT_LE(waiting, events::ClosingConnections::kMaxClosing);
        EXPECT_LE(openDescriptors(), before + kUploads + events::ClosingConnections::kMaxClosing + 2);
      });
}

// The file a download writes beside its target is new and the owner's
// alone for the whole transfer, whatever the umask; the commit then gives it
// the mode the target had, or a new file's mode.
TEST_F(FtpTransferSafety, PartialDownloadIsOnlyTheOwnersUntilCommitted) {
  const mode_t umaskBefore = ::umask(022);
  for (std::optional<std::filesystem::perms> old :
       {std::optional(std::filesystem::perms(0644)), std::optional(std::filesystem::perms(0600)),
        std::optional<std::filesystem::perms>()}) {
    const std::string name = old ? std::to_string(static_cast<int>(*old)) : std::string("no target yet");
    std::filesystem::remove(target);
    if (old) {
      writeFile(target, "old");
      std::filesystem::permissions(target, *old);
    }
    std::optional<std::filesystem::perms> whileWritten;
    runCase(
        name,
        afterLogin([&](Session& s) {
          TestSocket data = startDownload(s);
          data.send("first part");
          // The file beside the target, once the first part is in it.
          for (int i = 0; i < 500 && !whileWritten; ++i) {
            for (const auto& entry : std::filesystem::directory_iterator(local.path())) {
              if (entry.path().filename().string().rfind(".target.bin.part-", 0) == 0 && entry.file_size() > 0) {
                whileWritten = entry.status().permissions();
              }
            }
            s.pause(milliseconds(10));
          }
          data.send(" and the rest");
          data.close();
          s.send("226 Done\r\n");
        }),
        [&] {
          ASSERT_EQ(connect(), Status::Ok);
          String result;
          EXPECT_EQ(ftp->GetFile(u"x", pathText(target), &result), Status::Ok);
        });
    SCOPED_TRACE(name);
    ASSERT_TRUE(whileWritten.has_value());
    EXPECT_EQ(*whileWritten, std::filesystem::perms(0600));
    EXPECT_EQ(readFile(target), "first part and the rest");
    EXPECT_EQ(std::filesystem::status(target).permissions(), old.value_or(std::filesystem::perms(0644)));
  }
  ::umask(umaskBefore);
}

}  // namespace
}  // namespace skein10::test

// The data connection and the transfers against the scripted server: both
// modes, the server's address in 227, closes and aborts, silences, strangers,
// the local file on success and on failure, and the upload's blocks.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "FtpTestSession.h"
#include "TempDir.h"
#include "TestFiles.h"

namespace skein10::test {
namespace {

using std::chrono::milliseconds;

constexpr char16_t kTimedOut[] = u"The servers response has timed out.";
constexpr char16_t k550[] =
    u"The requested file/directory action was aborted because the file/directory was not found or you don't "
    u"have access.";

// The server's side of PORT and the transfer command: connects, then 150.
TestSocket activeData(Session& s, const std::string& command) {
  std::string portLine = s.readLine();
  s.send("200 PORT command successful\r\n");
  s.expect(command);
  TestSocket data = s.connectData(portLine);
  s.send("150 Opening data connection\r\n");
  return data;
}

class FtpDataConnection : public FtpSessionTest {
 protected:
  TempDir local;
  std::filesystem::path target = local / "target.bin";

  Status getFile(const String& remote = u"x") {
    String result = u"not empty";
    Status status = ftp->GetFile(remote, pathText(target), &result);
    EXPECT_EQ(result, u"");
    return status;
  }
  // After a failure: the old content is still there, nothing else is.
  void expectTargetUntouched(const std::string& old) {
    EXPECT_EQ(readFile(target), old);
    EXPECT_EQ(folderListing(local.path()), "target.bin\n");
    EXPECT_EQ(ftp->sink().ftpWriteFileNum, 0);
  }
};

TEST_F(FtpDataConnection, DownloadEndsWith226BeforeOrAfterTheDataClose) {
  const std::string content = randomBytes(100000, 1);
  for (bool replyFirst : {true, false}) {
    runCase(
        replyFirst ? "226 first" : "close first",
        afterLogin([&](Session& s) {
          TestSocket data = passiveData(s);
          s.expect("RETR file.bin");
          s.send("150 Opening BINARY mode data connection\r\n");
          data.send(content);
          if (replyFirst) s.send("226 Transfer complete\r\n");
          s.pause(milliseconds(50));
          data.close();
          if (!replyFirst) {
            s.pause(milliseconds(50));
            s.send("226 Transfer complete\r\n");
          }
        }),
        [&] {
          ASSERT_EQ(connect(), Status::Ok);
          String result;
          EXPECT_EQ(ftp->GetFile(u"file.bin", pathText(target), &result), Status::Ok);
          EXPECT_EQ(readFile(target), content);
          EXPECT_EQ(folderListing(local.path()), "target.bin\n");
          EXPECT_EQ(ftp->sink().ftpWriteFileNum, 0);
        });
  }
}

// Whatever host a 227 names, the data connection goes to the control
// connection's peer.
TEST_F(FtpDataConnection, PassiveModeIgnoresTheHostOfThe227Reply) {
  serve(afterLogin([](Session& s) {
    TestSocket data = passiveData(s, "10.9.8.7");
    s.expect("LIST");
    s.send("150 Here comes the listing\r\n");
    data.send("-rw-r--r-- 1 a a 3 Jan 1 00:00 f\r\n");
    data.close();
    s.send("226 Done\r\n");
  }));
  ASSERT_EQ(connect(), Status::Ok);
  String result;
  EXPECT_EQ(ftp->ListContents(pathText(target), &result), Status::Ok);
  EXPECT_EQ(readFile(target), "-rw-r--r-- 1 a a 3 Jan 1 00:00 f\r\n");
}

TEST_F(FtpDataConnection, EmptyListingLeavesAnEmptyFile) {
  writeFile(target, "old content");
  serve(afterLogin([](Session& s) {
    TestSocket data = passiveData(s);
    s.expect("LIST");
    s.send("150 Here comes the listing\r\n");
    data.close();
    s.send("226 Done\r\n");
  }));
  ASSERT_EQ(connect(), Status::Ok);
  String result;
  EXPECT_EQ(ftp->ListContents(pathText(target), &result), Status::Ok);
  EXPECT_EQ(readFile(target), "");
}

// Failed downloads: the existing local file keeps its content, no partial
// file is left beside it, and the session lets go of the local file.
TEST_F(FtpDataConnection, FailedDownloadsLeaveTheLocalFileAlone) {
  struct Case {
    const char* name;
    std::function<void(Session&)> play;  // after the login
    String error;
  };
  const Case cases[] = {
      {"550 to RETR",
       [](Session& s) {
         TestSocket data = passiveData(s);
         s.expect("RETR x");
         s.send("550 No such file\r\n");
       },
       k550},
      {"426 mid-transfer",
       [](Session& s) {
         TestSocket data = startDownload(s);
         data.send(randomBytes(5000, 2));
         s.pause(milliseconds(50));
         s.send("426 Connection closed; transfer aborted\r\n");
         s.pause(milliseconds(50));
         data.close();
       },
       u"Connection closed; transfer aborted."},
      {"data connection never closed",
       [](Session& s) {
         TestSocket data = startDownload(s);
         data.send("partial");
         s.waitClientClosed();
       },
       kTimedOut},
      {"226 without the data close",
       [](Session& s) {
         TestSocket data = passiveData(s);
         s.expect("RETR x");
         s.send("150 Opening\r\n226 Done\r\n");
         s.waitClientClosed();
       },
       kTimedOut},
      {"unreadable 227",
       [](Session& s) {
         s.expect("PASV");
         s.send("227 Entering Passive Mode\r\n");
       },
       u"The reply to PASV holds no valid data address: 227 Entering Passive Mode"},
      {"error reply to PASV",
       [](Session& s) {
         s.expect("PASV");
         s.send("500 Unknown command\r\n");
       },
       u"The previous command used by this program is unrecognized by the server."},
  };
  for (const Case& c : cases) {
    writeFile(target, "precious");
    runCase(
        c.name,
        afterLogin([&](Session& s) {
          c.play(s);
        }),
        [&] {
          ASSERT_EQ(connect(), Status::Ok);
          check(ftp->put_TimeOut(2000));
          EXPECT_EQ(sessionErrorOf(getFile()), c.error);
          expectTargetUntouched("precious");
        });
  }
}

TEST_F(FtpDataConnection, RefusedPassiveConnectionFailsNamingTheSocketError) {
  const int closedPort = TestSocket::freePort();
  serve(afterLogin([closedPort](Session& s) {
    s.expect("PASV");
    s.send(Session::passiveReply("127.0.0.1", closedPort));
  }));
  ASSERT_EQ(connect(), Status::Ok);
  writeFile(target, "precious");
  String description = sessionErrorOf(getFile());
  EXPECT_EQ(description.rfind(u"The data connection failed: ", 0), 0u) << toUtf8(description);
  expectTargetUntouched("precious");
}

TEST_F(FtpDataConnection, LocalFileErrorsComeBeforeAnyCommand) {
  serve(afterLogin());
  ASSERT_EQ(connect(), Status::Ok);
  String result;
  String missingFolder = pathText(local / "no" / "such" / "file");
  EXPECT_NE(errorOf(ftp->GetFile(u"x", missingFolder, &result)).number(), 0);
  EXPECT_NE(errorOf(ftp->ListContents(missingFolder, &result)).number(), 0);
  EXPECT_EQ(errorOf(ftp->PutFile(u"x", pathText(local / "missing"), &result)).number(), 53);
  EXPECT_EQ(ftp->sink().ftpWriteFileNum, 0);
  finish();
  EXPECT_EQ(server().received(), "USER bob\r\nPASS pw\r\n");
}

// Serves one download of `content` per GetFile.
void playDownloads(Session& s, const std::string& content, int count) {
  playLogin(s);
  for (int i = 0; i < count; ++i) {
    TestSocket data = passiveData(s);
    s.readLine();
    s.send("150 Opening\r\n");
    data.send(content);
    data.close();
    s.send("226 Done\r\n");
  }
  s.waitClientClosed();
}

// A replaced file keeps its permission bits; a FIFO is written directly.
TEST_F(FtpDataConnection, ReplacedFileKeepsItsModeAndAFifoIsWrittenDirectly) {
  serve([](Session& s) { playDownloads(s, "new content", 2); });
  ASSERT_EQ(connect(), Status::Ok);
  writeFile(target, "old");
  std::filesystem::permissions(target, std::filesystem::perms(0640));
  EXPECT_EQ(getFile(), Status::Ok);
  EXPECT_EQ(readFile(target), "new content");
  EXPECT_EQ(std::filesystem::status(target).permissions(), std::filesystem::perms(0640));

  std::filesystem::path fifo = local / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string readBack;
  std::thread reader([&] { readBack = readFile(fifo); });
  String result;
  EXPECT_EQ(ftp->GetFile(u"x", pathText(fifo), &result), Status::Ok);
  reader.join();
  EXPECT_EQ(readBack, "new content");
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

// A device that is always full: the download fails with the write error
// rather than reporting success.
TEST_F(FtpDataConnection, FailedWriteOfReceivedBytesFailsTheDownload) {
  serve(afterLogin([](Session& s) {
    TestSocket data = startDownload(s);
    data.send(randomBytes(10000, 3));
    data.close();
    s.send("226 Done\r\n");
  }));
  ASSERT_EQ(connect(), Status::Ok);
  String result;
  Error e = errorOf(ftp->GetFile(u"x", u"/dev/full", &result));
  EXPECT_EQ(e.number(), 61);
  EXPECT_EQ(ftp->sink().ftpWriteFileNum, 0);
}

// Active mode: a connection from any other address than the server's is
// refused, and the listener still takes the server's own.
TEST_F(FtpDataConnection, ActiveModeRefusesAStranger) {
  bool strangerRefused = false;
  runCase(
      "a stranger first, then the server",
      afterLogin([&](Session& s) {
        std::string portLine = s.readLine();
        TestSocket stranger = s.connectData(portLine, "127.0.0.2");
        s.send("200 PORT command successful\r\n");
        s.expect("RETR x");
        strangerRefused = stranger.waitPeerClosed(milliseconds(10000));
        TestSocket data = s.connectData(portLine);
        s.send("150 Opening\r\n");
        data.send("server data");
        data.close();
        s.send("226 Done\r\n");
      }),
      [&] {
        check(ftp->put_ConnectionMode(u" port "));
        ASSERT_EQ(connect(), Status::Ok);
        EXPECT_EQ(getFile(), Status::Ok);
        EXPECT_EQ(readFile(target), "server data");
        std::string sent = server().received();
        EXPECT_NE(sent.find("PORT 127,0,0,1,"), std::string::npos);
      });
  EXPECT_TRUE(strangerRefused);
}

// One block of 3072 bytes in flight at a time, then the rest: the server
// receives exactly the file, and never a piece that crosses a block's end.
TEST_F(FtpDataConnection, UploadSendsBlocksOf3072Bytes) {
  for (std::size_t size : {std::size_t{0}, std::size_t{3072}, std::size_t{3073}, std::size_t{10000}}) {
    const std::string content = randomBytes(size, 4);
    std::filesystem::path source = local / "source.bin";
    writeFile(source, content);
    std::string received;
    std::vector<std::size_t> pieceEnds;
    runCase(
        std::to_string(size) + " bytes",
        afterLogin([&](Session& s) {
          TestSocket data = activeData(s, "STOR up.bin");
          for (std::string piece = data.receive(milliseconds(20000)); !piece.empty();
               piece = data.receive(milliseconds(20000))) {
            received += piece;
            pieceEnds.push_back(received.size());
          }
          s.send("226 Transfer complete\r\n");
        }),
        [&] {
          check(ftp->put_ConnectionMode(u"PORT"));
          ASSERT_EQ(connect(), Status::Ok);
          int sends = 0;
          auto original = ftp->sink().myTCPData.onSendComplete;
          ftp->sink().myTCPData.onSendComplete = [&] {
            ++sends;
            original();
          };
          String result;
          EXPECT_EQ(ftp->PutFile(u"up.bin", pathText(source), &result), Status::Ok);
          EXPECT_EQ(sends, static_cast<int>((size + 3071) / 3072));
        });
    SCOPED_TRACE(size);
    EXPECT_EQ(received, content);
    for (std::size_t end : pieceEnds) EXPECT_TRUE(end % 3072 == 0 || end == size) << end;
  }
}

TEST_F(FtpDataConnection, RenameSendsRntoOnlyAfterASuccessfulRnfr) {
  serve(afterLogin([](Session& s) {
    s.expect("RNFR missing");
    s.send("550 No such file\r\n");
    s.expect("RNFR old name");
    s.send("350 Ready for RNTO\r\n");
    s.expect("RNTO new name");
    s.send("250 Renamed\r\n");
    s.expect("CWD ");
    s.send("250 Okay\r\n");
  }));
  ASSERT_EQ(connect(), Status::Ok);
  String result = u"x";
  EXPECT_EQ(sessionErrorOf(ftp->Rename(u"missing", u"other", &result)), k550);
  EXPECT_EQ(result, u"");
  EXPECT_EQ(ftp->Rename(u"old name", u"new name", &result), Status::Ok);
  Variant v;
  EXPECT_EQ(ftp->ChangeDirectory(u"", &v), Status::Ok);
  finish();
  EXPECT_EQ(server().received().find("RNTO other"), std::string::npos);
}

}  // namespace
}  // namespace skein10::test

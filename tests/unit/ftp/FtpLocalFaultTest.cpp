// Local files that fail a transfer: a FIFO without its other end, a file
// that shrinks while it is uploaded, the file-size limit, a full disk and a
// folder without write permission. Each member fails with a runtime file
// error, soon, and nothing is left behind.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/fsuid.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "FtpTestSession.h"
#include "TempDir.h"
#include "TestFiles.h"

namespace skein10::test {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

constexpr milliseconds kSlack{4000};

// Serves one download of `content`; the client may cut the data connection.
void serveDownload(Session& s, const std::string& content) {
  playLogin(s);
  TestSocket data = passiveData(s);
  s.expect("RETR big.bin");
  s.send("150 Opening\r\n");
  try {
    data.send(content);
    data.close();
    s.send("226 Done\r\n");
  } catch (const std::runtime_error&) {
    s.send("426 Connection closed; transfer aborted.\r\n");
  }
  s.waitClientClosed();
}

class FtpLocalFault : public FtpSessionTest {
 protected:
  TempDir local;

  Error getInto(const std::filesystem::path& file) {
    String result;
    return errorOf(ftp->GetFile(u"big.bin", pathText(file), &result));
  }
};

// Neither end of a FIFO waits beyond TimeOut for a partner that never comes,
// and nothing goes to the server for it.
TEST_F(FtpLocalFault, FifoWithoutItsOtherEndFailsWithinTheTimeOut) {
  const std::filesystem::path fifo = local / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (bool download : {true, false}) {
    const char* name = download ? "get into a FIFO nobody reads" : "put from a FIFO nobody writes";
    runCase(
        name,
        afterLogin(),
        [&] {
          ASSERT_EQ(connect(), Status::Ok);
          check(ftp->put_TimeOut(500));
          auto start = steady_clock::now();
          String result;
          Error e = errorOf(download ? ftp->GetFile(u"x", pathText(fifo), &result)
                                     : ftp->PutFile(u"x", pathText(fifo), &result));
          EXPECT_LT(steady_clock::now() - start, milliseconds(500) + kSlack);
          EXPECT_EQ(e.number(), errc::PathFileAccess);
          EXPECT_NE(e.description().find(u"no program"), String::npos) << toUtf8(e.description());
          EXPECT_EQ(ftp->sink().ftpWriteFileNum, 0);
        });
    SCOPED_TRACE(name);
    EXPECT_EQ(server().received(), "USER bob\r\nPASS pw\r\n");
  }
}

// The file loses its end while it is being sent: the upload fails with 62,
// and the server sees its data connection reset, so even a server that
// answers 226 never makes it a success. The dialogue stays in step.
TEST_F(FtpLocalFault, UploadOfAFileThatShrinksFailsAndResetsTheDataConnection) {
  const std::filesystem::path source = local / "source.bin";
  writeFile(source, "");
  std::filesystem::resize_file(source, 32 << 20);  // sparse: more than the sockets can buffer
  bool reset = false;
  std::size_t received = 0;
  runCase(
      "shrinks to 10000 bytes",
      afterLogin([&](Session& s) {
        TestSocket data = passiveData(s);
        s.expect("STOR up.bin");
        s.send("150 Ok to send data\r\n");
        s.pause(milliseconds(300));
        std::filesystem::resize_file(source, 10000);
        for (std::string piece = data.receive(milliseconds(20000)); !piece.empty();
             piece = data.receive(milliseconds(20000))) {
          received += piece.size();
        }
        reset = data.wasReset();
        s.send("226 Transfer complete\r\n");
        s.expect("CWD next");
        s.send("250 Okay\r\n");
      }),
      [&] {
        ASSERT_EQ(connect(), Status::Ok);
        String result;
        Error e = errorOf(ftp->PutFile(u"up.bin", pathText(source), &result));
        EXPECT_EQ(e.number(), errc::InputPastEndOfFile);
        EXPECT_EQ(e.description(), u"Input past end of file");
        EXPECT_EQ(ftp->sink().ftpWriteFileNum, 0);
        Variant v;
        EXPECT_EQ(ftp->ChangeDirectory(u"next", &v), Status::Ok);
      });
  EXPECT_TRUE(reset);
  EXPECT_LT(received, std::size_t{32 << 20});
}

// Past the file-size limit a write raises SIGXFSZ, whose default action ends
// the process. The download fails like on a full disk instead, the side file
// goes, and the host's signal disposition and mask stay as they were.
TEST_F(FtpLocalFault, FileSizeLimitFailsTheDownloadWithoutEndingTheProcess) {
  serve([](Session& s) { serveDownload(s, randomBytes(1 << 20, 7)); });
  ASSERT_EQ(connect(), Status::Ok);
  const std::filesystem::path target = local / "target.bin";
  writeFile(target, "old");
  struct sigaction before {};
  sigaction(SIGXFSZ, nullptr, &before);
  sigset_t maskBefore;
  pthread_sigmask(SIG_SETMASK, nullptr, &maskBefore);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 64 << 10;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  Error e = getInto(target);
  setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_EQ(e.number(), errc::DiskFull);
  EXPECT_EQ(readFile(target), "old");
  EXPECT_EQ(folderListing(local.path()), "target.bin\n");
  struct sigaction after {};
  sigaction(SIGXFSZ, nullptr, &after);
  EXPECT_EQ(after.sa_handler, before.sa_handler);
  sigset_t maskAfter;
  pthread_sigmask(SIG_SETMASK, nullptr, &maskAfter);
  EXPECT_EQ(sigismember(&maskAfter, SIGXFSZ), sigismember(&maskBefore, SIGXFSZ));
  sigset_t pending;
  sigpending(&pending);
  EXPECT_EQ(sigismember(&pending, SIGXFSZ), 0);
}

// A small tmpfs that fills up: 61, and the side file goes.
TEST_F(FtpLocalFault, FullDiskFailsTheDownloadAndRemovesTheSideFile) {
  const std::filesystem::path disk = local / "disk";
  std::filesystem::create_directory(disk);
  if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0) GTEST_SKIP() << "can't mount a tmpfs here";
  struct Unmount {
    const std::filesystem::path& at;
    ~Unmount() { ::umount(at.c_str()); }
  } unmount{disk};
  const std::filesystem::path target = disk / "target.bin";
  writeFile(target, "old");
  serve([](Session& s) { serveDownload(s, randomBytes(1 << 20, 8)); });
  ASSERT_EQ(connect(), Status::Ok);
  EXPECT_EQ(getInto(target).number(), errc::DiskFull);
  EXPECT_EQ(readFile(target), "old");
  EXPECT_EQ(folderListing(disk), "target.bin\n");
}

// A folder the user can't write to: 70 before any command. Root writes
// anywhere, so the session's thread takes an ordinary user's file rights.
TEST_F(FtpLocalFault, FolderWithoutWritePermissionFailsBeforeAnyCommand) {
  const std::filesystem::path folder = local / "locked";
  std::filesystem::create_directory(folder);
  std::filesystem::permissions(local.path(), std::filesystem::perms(0755));
  std::filesystem::permissions(folder, std::filesystem::perms(0555));
  serve(afterLogin());
  std::optional<Error> failure;
  std::thread user([&] {
    if (::geteuid() == 0) ::setfsuid(65534);
    Ref<clsKvInetFTPConnection> session = makeRef<clsKvInetFTPConnection>();
    Variant v;
    if (session->Connect(u"127.0.0.1", server().portText(), u"bob", u"pw", &v) != Status::Ok) return;
    String result;
    if (session->GetFile(u"x", pathText(folder / "target.bin"), &result) != Status::Ok) failure = takeError();
  });
  user.join();
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->number(), errc::PermissionDenied);
  EXPECT_EQ(folderListing(folder), "");
  server().finish();
  EXPECT_EQ(server().received(), "USER bob\r\nPASS pw\r\n");
}

}  // namespace
}  // namespace skein10::test

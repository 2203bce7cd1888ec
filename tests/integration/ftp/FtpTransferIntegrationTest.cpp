// Directory commands, listings and transfers against real servers
// (pyftpdlib and vsftpd), each in passive and active mode. Each server runs
// once for the whole suite; every test works in a folder of its own.

#include <gtest/gtest.h>

#include <memory>

#include "CallError.h"
#include "PyftpdlibServer.h"
#include "ServerSkip.h"
#include "TempDir.h"
#include "TestFiles.h"
#include "VsftpdServer.h"
#include "ftp/clsKvInetFTPConnection.h"
#include "skein10/Boundary.h"

namespace skein10::test {
namespace {

namespace fs = std::filesystem;

enum class ServerKind { Pyftpdlib, Vsftpd };

struct Setup {
  ServerKind server;
  const char16_t* mode;
};

std::string describe(const Setup& setup) {
  return std::string(setup.server == ServerKind::Pyftpdlib ? "pyftpdlib" : "vsftpd") +
         (setup.mode == StringView(u"PORT") ? "_active" : "_passive");
}

std::string nameOf(const ::testing::TestParamInfo<Setup>& info) { return describe(info.param); }

// How test listings show a setup.
void PrintTo(const Setup& setup, std::ostream* out) { *out << describe(setup); }

class FtpTransferIntegration : public ::testing::TestWithParam<Setup> {
 protected:
  // Each server starts when a test first needs it and runs to the suite's end.
  static void TearDownTestSuite() {
    pyftpdlib_.reset();
    vsftpd_.reset();
  }
  static FtpTestServer& serverFor(ServerKind kind) {
    if (kind == ServerKind::Pyftpdlib) {
      if (!pyftpdlib_) pyftpdlib_ = std::make_unique<PyftpdlibServer>();
      return *pyftpdlib_;
    }
    if (!vsftpd_) vsftpd_ = std::make_unique<VsftpdServer>();
    return *vsftpd_;
  }

  void SetUp() override {
    if (GetParam().server == ServerKind::Pyftpdlib) SKEIN10_SKIP_WITHOUT(PyftpdlibServer);
    else SKEIN10_SKIP_WITHOUT(VsftpdServer);
    server_ = &serverFor(GetParam().server);
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string folder = std::string(test->name()).substr(0, std::string(test->name()).find('/')) + "_" +
                         nameOf({GetParam(), 0});
    remote_ = server_->root() / folder;
    fs::create_directory(remote_);
    fs::permissions(remote_, fs::perms::all);
    check(ftp->put_ConnectionMode(GetParam().mode));
    Variant v;
    check(ftp->Connect(u"127.0.0.1", server_->portText(), server_->user(), server_->password(), &v));
    String home = server_->home() == u"/" ? String() : server_->home();
    check(ftp->ChangeDirectory(home + u"/" + fromUtf8(folder), &v));
  }
  void TearDown() override {
    if (!server_) return;  // skipped
    Variant v;
    EXPECT_EQ(ftp->Disconnect(&v), Status::Ok);
  }

  String download(const String& remote, const fs::path& to) {
    String result;
    check(ftp->GetFile(remote, pathText(to), &result));
    return result;
  }
  void upload(const String& remote, const fs::path& from) {
    String result;
    check(ftp->PutFile(remote, pathText(from), &result));
    EXPECT_EQ(result, u"");
  }
  std::string listing() {
    fs::path file = local_ / "listing.txt";
    String result;
    check(ftp->ListContents(pathText(file), &result));
    return readFile(file);
  }

  static std::unique_ptr<PyftpdlibServer> pyftpdlib_;
  static std::unique_ptr<VsftpdServer> vsftpd_;
  FtpTestServer* server_ = nullptr;
  fs::path remote_;  // this test's folder on the server, on disk
  TempDir local_;
  Ref<clsKvInetFTPConnection> ftp = makeRef<clsKvInetFTPConnection>();
};

std::unique_ptr<PyftpdlibServer> FtpTransferIntegration::pyftpdlib_;
std::unique_ptr<VsftpdServer> FtpTransferIntegration::vsftpd_;

TEST_P(FtpTransferIntegration, MakeChangeIntoAndRemoveFolders) {
  Variant v = u"x";
  check(ftp->MakeDirectory(u"new folder", &v));
  EXPECT_TRUE(v.isEmpty());
  EXPECT_TRUE(fs::is_directory(remote_ / "new folder"));
  check(ftp->ChangeDirectory(u"new folder", &v));
  writeFile(remote_ / "new folder" / "inside.txt", "in");
  EXPECT_NE(listing().find("inside.txt"), std::string::npos);
  check(ftp->ChangeDirectory(u"..", &v));
  fs::remove(remote_ / "new folder" / "inside.txt");
  check(ftp->RemoveDirectory(u"new folder", &v));
  EXPECT_FALSE(fs::exists(remote_ / "new folder"));
}

TEST_P(FtpTransferIntegration, RenameAndDelete) {
  writeFile(remote_ / "before.txt", "content");
  String result = u"x";
  check(ftp->Rename(u"before.txt", u"after.txt", &result));
  EXPECT_EQ(result, u"");
  EXPECT_EQ(readFile(remote_ / "after.txt"), "content");
  EXPECT_FALSE(fs::exists(remote_ / "before.txt"));
  EXPECT_EQ(ftp->Rename(u"before.txt", u"again.txt", &result), Status::Failed);
  EXPECT_EQ(takeError().number(), 8);
  Variant v;
  check(ftp->RemoveFile(u"after.txt", &v));
  EXPECT_FALSE(fs::exists(remote_ / "after.txt"));
}

TEST_P(FtpTransferIntegration, ListEmptyAndFullFolder) {
  EXPECT_EQ(listing(), "");
  for (const char* name : {"alpha.txt", "beta.bin", "gamma"}) writeFile(remote_ / name, name);
  std::string text = listing();
  for (const char* name : {"alpha.txt", "beta.bin", "gamma"}) EXPECT_NE(text.find(name), std::string::npos) << text;
}

TEST_P(FtpTransferIntegration, DownloadAndUploadAreExactForEveryBlockBoundary) {
  String type;
  check(ftp->TransferType(ftp_BINARY, &type));
  for (std::size_t size : {0, 1, 3071, 3072, 3073, 5000}) {
    SCOPED_TRACE(size);
    const std::string content = randomBytes(size, static_cast<uint32_t>(size));
    std::string name = "file" + std::to_string(size);
    writeFile(remote_ / name, content);
    fs::path copy = local_ / name;
    writeFile(copy, "old content that is longer than some of the files");
    EXPECT_EQ(download(fromUtf8(name), copy), u"");
    EXPECT_EQ(readFile(copy), content);
    upload(fromUtf8(name + ".up"), copy);
    EXPECT_EQ(readFile(remote_ / (name + ".up")), content);
  }
}

TEST_P(FtpTransferIntegration, TwentyMebibytesBothWays) {
  String type;
  check(ftp->TransferType(ftp_BINARY, &type));
  const std::string content = randomBytes(20 << 20, 20);
  fs::path source = local_ / "big.bin";
  writeFile(source, content);
  upload(u"big.bin", source);
  EXPECT_TRUE(readFile(remote_ / "big.bin") == content);
  fs::path back = local_ / "back.bin";
  download(u"big.bin", back);
  EXPECT_EQ(fs::file_size(back), content.size());
  EXPECT_TRUE(readFile(back) == content);
}

TEST_P(FtpTransferIntegration, TransferTypesAsciiAndBinary) {
  writeFile(remote_ / "text.txt", "line one\nline two\n");
  String result = u"x";
  check(ftp->TransferType(ftp_ASCII, &result));
  EXPECT_EQ(result, u"");
  fs::path copy = local_ / "text.txt";
  download(u"text.txt", copy);
  std::string text = readFile(copy);
  EXPECT_NE(text.find("line two"), std::string::npos);
  check(ftp->TransferType(ftp_BINARY, &result));
  download(u"text.txt", copy);
  EXPECT_EQ(readFile(copy), "line one\nline two\n");
}

TEST_P(FtpTransferIntegration, MissingRemoteFileLeavesTheLocalFileUntouched) {
  fs::path copy = local_ / "keep.txt";
  writeFile(copy, "keep me");
  String result;
  EXPECT_EQ(sessionErrorOf(ftp->GetFile(u"missing.bin", pathText(copy), &result)),
            u"The requested file/directory action was aborted because the file/directory was not found or you "
            u"don't have access.");
  EXPECT_EQ(readFile(copy), "keep me");
  EXPECT_EQ(folderListing(local_.path()), "keep.txt\n");
  // The session goes on working.
  writeFile(remote_ / "there.bin", "here");
  download(u"there.bin", copy);
  EXPECT_EQ(readFile(copy), "here");
}

TEST_P(FtpTransferIntegration, UploadIntoARefusedFolderFails) {
  fs::path source = local_ / "up.bin";
  writeFile(source, "data");
  String result;
  EXPECT_EQ(sessionErrorOf(ftp->PutFile(u"no/such/folder/up.bin", pathText(source), &result)).substr(0, 43),
            u"The requested file/directory action was abo");
  Variant v;
  EXPECT_EQ(ftp->ChangeDirectory(u".", &v), Status::Ok);
}

INSTANTIATE_TEST_SUITE_P(Servers, FtpTransferIntegration,
                         ::testing::Values(Setup{ServerKind::Pyftpdlib, u"PASV"},
                                           Setup{ServerKind::Pyftpdlib, u"PORT"},
                                           Setup{ServerKind::Vsftpd, u"PASV"},
                                           Setup{ServerKind::Vsftpd, u"PORT"}),
                         nameOf);

}  // namespace
}  // namespace skein10::test

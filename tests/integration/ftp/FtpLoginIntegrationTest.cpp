// Logging in to a real server (pyftpdlib), started once for the suite.

#include <gtest/gtest.h>

#include <memory>

#include "CallError.h"
#include "PyftpdlibServer.h"
#include "ServerSkip.h"
#include "ftp/clsKvInetFTPConnection.h"
#include "skein10/Boundary.h"

namespace skein10::test {
namespace {

class FtpLoginIntegration : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!PyftpdlibServer::unavailable()) server_ = std::make_unique<PyftpdlibServer>();
  }
  void SetUp() override { SKEIN10_SKIP_WITHOUT(PyftpdlibServer); }
  static void TearDownTestSuite() { server_.reset(); }

  Status connect(const String& password) {
    Variant result;
    Status status = ftp->Connect(u"127.0.0.1", server_->portText(), server_->user(), password, &result);
    EXPECT_TRUE(result.isEmpty());
    return status;
  }
  String log() {
    String text;
    check(ftp->get_LogData(&text));
    return text;
  }

  static std::unique_ptr<PyftpdlibServer> server_;
  Ref<clsKvInetFTPConnection> ftp = makeRef<clsKvInetFTPConnection>();
};

std::unique_ptr<PyftpdlibServer> FtpLoginIntegration::server_;

// The lines of the log, each with its CR LF.
std::vector<String> linesOf(const String& log) {
  std::vector<String> lines;
  for (std::size_t start = 0; start < log.size();) {
    std::size_t end = log.find(u"\r\n", start);
    end = end == String::npos ? log.size() : end + 2;
    lines.push_back(log.substr(start, end - start));
    start = end;
  }
  return lines;
}

TEST_F(FtpLoginIntegration, LogHoldsTheDialogueInOrderWithTheMaskedPassword) {
  ASSERT_EQ(connect(server_->password()), Status::Ok);
  std::vector<String> lines = linesOf(log());
  ASSERT_EQ(lines.size(), 5u) << toUtf8(log());
  EXPECT_EQ(lines[0].substr(0, 4), u"220 ");
  EXPECT_EQ(lines[1], u"USER " + server_->user() + u"\r\n");
  EXPECT_EQ(lines[2].substr(0, 4), u"331 ");
  EXPECT_EQ(lines[3], u"PASS ********\r\n");
  EXPECT_EQ(lines[4].substr(0, 4), u"230 ");
  EXPECT_EQ(log().find(server_->password()), String::npos);
}

TEST_F(FtpLoginIntegration, WrongPasswordFailsWith530) {
  EXPECT_EQ(sessionErrorOf(connect(u"wrong-password")), u"User not logged in correct.");
}

TEST_F(FtpLoginIntegration, ConnectAgainOnTheSameSessionAndAfterDisconnect) {
  ASSERT_EQ(connect(server_->password()), Status::Ok);
  ASSERT_EQ(connect(server_->password()), Status::Ok);
  Variant result;
  ASSERT_EQ(ftp->Disconnect(&result), Status::Ok);
  ASSERT_EQ(connect(server_->password()), Status::Ok);
  EXPECT_EQ(linesOf(log()).size(), 15u);
  EXPECT_EQ(ftp->ChangeDirectory(u"/", &result), Status::Ok);
}

}  // namespace
}  // namespace skein10::test

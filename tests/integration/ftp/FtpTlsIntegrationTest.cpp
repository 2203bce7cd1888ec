// FTP over TLS (explicit and implicit) and over IPv6 against real servers:
// vsftpd requiring TLS with session reuse on every data connection and the
// closing alert after an upload, the same capped at TLS 1.2, vsftpd with
// implicit TLS, pyftpdlib's TLS handler (also capped at 1.2), proftpd
// requiring TLS with session reuse (explicit, capped at 1.2, implicit), and
// vsftpd and pyftpdlib on ::1. Each ends its data connections with the
// closing alert. The certificates are the test authority's (TestCertificates).

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "CallError.h"
#include "ProftpdServer.h"
#include "PyftpdlibServer.h"
#include "ScriptedFtpServer.h"
#include "ServerSkip.h"
#include "TempDir.h"
#include "TestCertificates.h"
#include "TestFiles.h"
#include "VsftpdServer.h"
#include "ftp/clsKvInetFTPConnection.h"
#include "skein10/Boundary.h"

namespace skein10::test {
namespace {

namespace fs = std::filesystem;
using Tls = FtpServerOptions::Tls;

enum class Program { Vsftpd, Pyftpdlib, Proftpd };

struct ServerSetup {
  const char* name;
  Program program;
  FtpServerOptions options;
  const char16_t* scheme;  // what goes before the host in Connect's server text
  const char16_t* host;
};

const ServerSetup kSetups[] = {
    {"vsftpd_explicit_tls13", Program::Vsftpd, {"127.0.0.1", Tls::Explicit, false, {}}, u"ftpes://", u"localhost"},
    {"vsftpd_explicit_tls12", Program::Vsftpd, {"127.0.0.1", Tls::Explicit, true, {}}, u"ftpes://", u"127.0.0.1"},
    {"vsftpd_implicit", Program::Vsftpd, {"127.0.0.1", Tls::Implicit, false, {}}, u"ftps://", u"127.0.0.1"},
    {"pyftpdlib_explicit_tls13", Program::Pyftpdlib, {"127.0.0.1", Tls::Explicit, false, {}}, u"ftpes://", u"127.0.0.1"},
    {"pyftpdlib_explicit_tls12", Program::Pyftpdlib, {"127.0.0.1", Tls::Explicit, true, {}}, u"ftpes://", u"localhost"},
    {"proftpd_explicit_tls13", Program::Proftpd, {"127.0.0.1", Tls::Explicit, false, {}}, u"ftpes://", u"localhost"},
    {"proftpd_explicit_tls12", Program::Proftpd, {"127.0.0.1", Tls::Explicit, true, {}}, u"ftpes://", u"127.0.0.1"},
    {"proftpd_implicit", Program::Proftpd, {"127.0.0.1", Tls::Implicit, false, {}}, u"ftps://", u"127.0.0.1"},
    {"vsftpd_ipv6_plain", Program::Vsftpd, {"::1", Tls::None, false, {}}, u"", u"::1"},
    {"pyftpdlib_ipv6_plain", Program::Pyftpdlib, {"::1", Tls::None, false, {}}, u"", u"[::1]"},
    {"vsftpd_ipv6_explicit", Program::Vsftpd, {"::1", Tls::Explicit, false, {}}, u"ftpes://", u"[::1]"},
};

struct Param {
  const ServerSetup* setup;
  const char16_t* mode;
};

std::string nameOf(const Param& p) {
  return std::string(p.setup->name) + (p.mode == StringView(u"PORT") ? "_active" : "_passive");
}
void PrintTo(const Param& p, std::ostream* out) { *out << nameOf(p); }

std::vector<Param> params() {
  std::vector<Param> all;
  for (const ServerSetup& s : kSetups) {
    for (const char16_t* mode : {u"PASV", u"PORT"}) all.push_back({&s, mode});
  }
  return all;
}

class FtpTlsIntegration : public ::testing::TestWithParam<Param> {
 protected:
  static void TearDownTestSuite() { servers_.clear(); }
  static FtpTestServer& serverFor(const ServerSetup& setup) {
    TestCertificates::shared();
    auto& server = servers_[setup.name];
    if (!server) {
      switch (setup.program) {
        case Program::Vsftpd: server = std::make_unique<VsftpdServer>(setup.options); break;
        case Program::Pyftpdlib: server = std::make_unique<PyftpdlibServer>(setup.options); break;
        case Program::Proftpd: server = std::make_unique<ProftpdServer>(setup.options); break;
      }
    }
    return *server;
  }

  static std::optional<std::string> unavailable(Program program) {
    switch (program) {
      case Program::Vsftpd: return VsftpdServer::unavailable();
      case Program::Pyftpdlib: return PyftpdlibServer::unavailable();
      case Program::Proftpd: return ProftpdServer::unavailable();
    }
    return std::nullopt;
  }

  void SetUp() override {
    const ServerSetup& setup = *GetParam().setup;
    if (const auto why = unavailable(setup.program)) GTEST_SKIP() << *why;
    server_ = &serverFor(setup);
    const std::string folder = "t_" + nameOf(GetParam());
    remote_ = server_->root() / folder;
    fs::create_directory(remote_);
    fs::permissions(remote_, fs::perms::all);
    check(ftp->put_ConnectionMode(GetParam().mode));
    Variant v;
    check(ftp->Connect(String(setup.scheme) + setup.host, server_->portText(), server_->user(),
                       server_->password(), &v));
    const String home = server_->home() == u"/" ? String() : server_->home();
    check(ftp->ChangeDirectory(home + u"/" + fromUtf8(folder), &v));
  }
  void TearDown() override {
    if (!server_) return;  // skipped
    Variant v;
    EXPECT_EQ(ftp->Disconnect(&v), Status::Ok);
  }
  String log() {
    String text;
    check(ftp->get_LogData(&text));
    return text;
  }

  static std::map<std::string, std::unique_ptr<FtpTestServer>> servers_;
  FtpTestServer* server_ = nullptr;
  fs::path remote_;
  TempDir local_;
  Ref<clsKvInetFTPConnection> ftp = makeRef<clsKvInetFTPConnection>();
};

std::map<std::string, std::unique_ptr<FtpTestServer>> FtpTlsIntegration::servers_;

// Every data connection of the session (listing, uploads, downloads) works
// with servers that require TLS on it, session reuse and the closing alert.
TEST_P(FtpTlsIntegration, ListPutAndGetAreByteExact) {
  String type;
  check(ftp->TransferType(ftp_BINARY, &type));
  for (std::size_t size : {std::size_t(0), std::size_t(3073), std::size_t(20) << 20}) {
    SCOPED_TRACE(size);
    const std::string bytes = randomBytes(size, static_cast<uint32_t>(size) + 7);
    const std::string name = "file" + std::to_string(size) + ".bin";
    writeFile(local_ / "up.bin", bytes);
    String result;
    check(ftp->PutFile(fromUtf8(name), pathText(local_ / "up.bin"), &result));
    ASSERT_TRUE(readFile(remote_ / name) == bytes);
    check(ftp->GetFile(fromUtf8(name), pathText(local_ / "down.bin"), &result));
    // Every server ends its data connections with TLS's closing alert.
    EXPECT_FALSE(ftp->sink().ftpTransfer.cutShort);
    ASSERT_TRUE(readFile(local_ / "down.bin") == bytes);
  }
  String result;
  check(ftp->ListContents(pathText(local_ / "list.txt"), &result));
  EXPECT_FALSE(ftp->sink().ftpTransfer.cutShort);
  EXPECT_NE(readFile(local_ / "list.txt").find("file3073.bin"), std::string::npos);

  const std::string text = toUtf8(log());
  const ServerSetup& setup = *GetParam().setup;
  const bool six = setup.options.address == "::1";
  const bool active = GetParam().mode == StringView(u"PORT");
  EXPECT_EQ(text.find("AUTH TLS\r\n") != std::string::npos, setup.options.tls == Tls::Explicit);
  EXPECT_EQ(text.find("PROT P\r\n") != std::string::npos, setup.options.tls != Tls::None);
  EXPECT_EQ(text.find(active ? "EPRT |2|::1|" : "EPSV\r\n") != std::string::npos, six);
  EXPECT_EQ(text.find(active ? "PORT " : "PASV\r\n") != std::string::npos, !six);
  EXPECT_NE(text.find("PASS ********"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Servers, FtpTlsIntegration, ::testing::ValuesIn(params()),
                         [](const ::testing::TestParamInfo<Param>& info) { return nameOf(info.param); });

// A certificate that does not hold ends Connect with the session error
// naming the reason, before USER is sent.
TEST(FtpTlsFailures, RefusedCertificatesEndConnectBeforeUser) {
  SKEIN10_SKIP_WITHOUT(VsftpdServer);
  const TestCertificates& certs = TestCertificates::shared();
  struct Case {
    std::filesystem::path certificate;
    const char16_t* host;
    const char* reason;
  } cases[] = {
      {certs.otherName(), u"localhost", "hostname mismatch"},
      {certs.expired(), u"127.0.0.1", "certificate has expired"},
      {certs.unknownAuthority(), u"127.0.0.1", "unable to get local issuer certificate"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    // vsftpd with the certificate under test, in its explicit TLS set-up.
    FtpServerOptions options;
    options.tls = Tls::Explicit;
    options.certificate = c.certificate;
    VsftpdServer server(options);
    Ref<clsKvInetFTPConnection> ftp = makeRef<clsKvInetFTPConnection>();
    Variant v;
    const String description = sessionErrorOf(
        ftp->Connect(u"ftpes://" + String(c.host), server.portText(), server.user(), server.password(), &v));
    EXPECT_THAT(toUtf8(description), ::testing::HasSubstr(c.reason));
    String text;
    check(ftp->get_LogData(&text));
    EXPECT_EQ(toUtf8(text).find("USER"), std::string::npos) << toUtf8(text);
  }
}

// A server that does not take AUTH TLS gets neither USER nor PASS.
TEST(FtpTlsFailures, RefusedAuthEndsConnectWithoutTheLogin) {
  ScriptedFtpServer server([](ScriptedFtpServer::Session& s) {
    s.send("220 plain only\r\n");
    s.expect("AUTH TLS");
    s.send("500 AUTH not understood\r\n");
    s.waitClientClosed();
  });
  Ref<clsKvInetFTPConnection> ftp = makeRef<clsKvInetFTPConnection>();
  Variant v;
  const String description =
      sessionErrorOf(ftp->Connect(u"ftpes://127.0.0.1", server.portText(), u"user", u"secret", &v));
  EXPECT_THAT(toUtf8(description), ::testing::HasSubstr("refused TLS"));
  check(ftp->Disconnect(&v));
  ftp = nullptr;
  server.finish();
  EXPECT_EQ(server.received().find("USER"), std::string::npos) << server.received();
  EXPECT_EQ(server.received().find("secret"), std::string::npos);
}

TEST(FtpTlsFailures, UnknownSchemeFailsBeforeAnyConnection) {
  Ref<clsKvInetFTPConnection> ftp = makeRef<clsKvInetFTPConnection>();
  Variant v;
  for (const char16_t* server : {u"sftp://127.0.0.1", u"http://localhost", u"ftps://"}) {
    EXPECT_EQ(ftp->Connect(server, u"21", u"u", u"p", &v), Status::Failed);
    EXPECT_EQ(takeError().number(), 5);
    String text;
    check(ftp->get_LogData(&text));
    EXPECT_TRUE(text.empty());
  }
}

}  // namespace
}  // namespace skein10::test

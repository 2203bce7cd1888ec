#include "ProftpdServer.h"

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>
#include <string>

#include "TestCertificates.h"

namespace skein10::test {

namespace {

namespace fs = std::filesystem;

// The unpacked package (./run's install step puts it there).
const fs::path kUnpacked = SKEIN10_PROFTPD_DIR;

// The account's password and its MD5-crypt form for the password file.
constexpr char16_t kPassword[] = u"proftpd-test";
constexpr char kPasswordHash[] = "$1$skein10$7r7GdUqal4Fm7XvrFejRY/";

// The system account the virtual user runs as; the root folder becomes its.
const passwd& unprivileged() {
  const passwd* entry = ::getpwnam("nobody");
  if (!entry) throw std::runtime_error("proftpd test server: no account \"nobody\"");
  return *entry;
}

std::string groupOf(const passwd& account) {
  const group* entry = ::getgrgid(account.pw_gid);
  if (!entry) throw std::runtime_error("proftpd test server: no group for \"nobody\"");
  return entry->gr_name;
}

// A password-file line for the user "skein10", at home in `home`.
std::string accountLine(const fs::path& home) {
  const passwd& account = unprivileged();
  if (::chown(home.c_str(), account.pw_uid, account.pw_gid) != 0) {
    throw std::runtime_error("proftpd test server: can't give the root folder to \"nobody\"");
  }
  return std::string("skein10:") + kPasswordHash + ":" + std::to_string(account.pw_uid) + ":" +
         std::to_string(account.pw_gid) + "::" + home.string() + ":/bin/false\n";
}

// The lines that make proftpd speak TLS only.
std::string tlsLines(const FtpServerOptions& options, const fs::path& work) {
  if (options.tls == FtpServerOptions::Tls::None) return {};
  const TestCertificates& certs = TestCertificates::shared();
  std::string lines = "LoadModule mod_tls.c\nTLSEngine on\nTLSRequired on\nTLSVerifyClient off\n";
  lines += std::string("TLSProtocol ") + (options.tls12Only ? "TLSv1.2\n" : "TLSv1.2 TLSv1.3\n");
  // The test certificates hold an EC (P-256) key.
  lines += "TLSECCertificateFile " + (options.certificate.empty() ? certs.server() : options.certificate).string() +
           "\nTLSECCertificateKeyFile " + certs.key().string() + "\nTLSLog " + (work / "tls.log").string() + "\n";
  if (options.tls == FtpServerOptions::Tls::Implicit) lines += "TLSOptions UseImplicitSSL\n";
  return lines;
}

}  // namespace

std::optional<std::string> ProftpdServer::unavailable() {
  if (!fs::exists(kUnpacked / "usr/sbin/proftpd") || !fs::exists(kUnpacked / "usr/lib/proftpd/mod_tls.so"))
    return "proftpd is not unpacked in " + kUnpacked.string() +
           " (./run test unpacks it; its package conflicts with vsftpd's, so it is never installed)";
  if (::geteuid() != 0) return "the proftpd test server runs only in a test process of root";
  return std::nullopt;
}

ProftpdServer::ProftpdServer(FtpServerOptions options) : FtpTestServer("proftpd", u"skein10", kPassword) {
  const fs::path program = kUnpacked / "usr/sbin/proftpd";
  if (!fs::exists(program)) throw std::runtime_error("proftpd test server: " + program.string() + " missing (./run test unpacks it)");
  setAddress(options.address);
  // The account changes into its folder after giving up root: it must be
  // able to pass through the private work folder above it.
  fs::permissions(work().path(), fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
  const fs::path passwords = work() / "passwd";
  std::ofstream(passwords) << accountLine(root());
  fs::permissions(passwords, fs::perms::owner_read | fs::perms::owner_write);
  const bool six = options.address.find(':') != std::string::npos;
  const fs::path config = work() / "proftpd.conf";
  std::ofstream(config) << "ServerType standalone\nServerName \"skein10 test\"\n"
                        << "DefaultAddress " << options.address << "\nSocketBindTight on\nPort " << port() << "\n"
                        << "UseIPv6 " << (six ? "on" : "off") << "\n"
                        << "User nobody\nGroup " << groupOf(unprivileged()) << "\n"
                        << "ModulePath " << (kUnpacked / "usr/lib/proftpd").string() << "\n"
                        << "PidFile " << (work() / "proftpd.pid").string() << "\n"
                        << "ScoreboardFile " << (work() / "proftpd.scoreboard").string() << "\n"
                        << "DelayTable none\nWtmpLog off\nTransferLog none\nUseReverseDNS off\n"
                        << "AuthOrder mod_auth_file.c\nAuthUserFile " << passwords.string() << "\n"
                        << "AuthPAM off\nRequireValidShell off\nDefaultRoot ~\n"
                        << "MaxInstances 100\nUmask 022\nAllowOverwrite on\n"
                        << tlsLines(options, work().path());
  start({program.string(), "-n", "-c", config.string()});
}

}  // namespace skein10::test

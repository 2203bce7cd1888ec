#include "VsftpdServer.h"

#include <pwd.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>
#include <string>

#include "TestCertificates.h"

namespace skein10::test {

namespace {

// The account vsftpd maps anonymous logins to (Debian's package creates it).
constexpr char kAnonymousAccount[] = "ftp";

void giveTo(const std::filesystem::path& folder, const char* account) {
  const passwd* entry = ::getpwnam(account);
  if (!entry || ::chown(folder.c_str(), entry->pw_uid, entry->pw_gid) != 0) {
    throw std::runtime_error(std::string("can't give the folder to the account ") + account);
  }
}

// The lines that make vsftpd speak TLS only.
std::string tlsLines(const FtpServerOptions& options) {
  if (options.tls == FtpServerOptions::Tls::None) return {};
  const TestCertificates& certs = TestCertificates::shared();
  std::string lines = "ssl_enable=YES\nallow_anon_ssl=YES\nforce_anon_logins_ssl=YES\nforce_anon_data_ssl=YES\n"
                      "force_local_logins_ssl=YES\nforce_local_data_ssl=YES\nrequire_ssl_reuse=YES\n"
                      "strict_ssl_read_eof=YES\nssl_sslv2=NO\nssl_sslv3=NO\nssl_tlsv1=YES\nssl_ciphers=HIGH\n"
                      "rsa_cert_file=" + (options.certificate.empty() ? certs.server() : options.certificate).string() + "\nrsa_private_key_file=" + certs.key().string() + "\n";
  if (options.tls == FtpServerOptions::Tls::Implicit) lines += "implicit_ssl=YES\n";
  return lines;
}

// An OpenSSL configuration that caps every TLS connection of the process at 1.2.
std::string tls12Cap(const std::filesystem::path& file) {
  std::ofstream(file) << "openssl_conf = skein10_conf\n[skein10_conf]\nssl_conf = skein10_ssl\n"
                      << "[skein10_ssl]\nsystem_default = skein10_tls\n[skein10_tls]\nMaxProtocol = TLSv1.2\n";
  return "OPENSSL_CONF=" + file.string();
}

constexpr char kProgram[] = "/usr/sbin/vsftpd";

}  // namespace

std::optional<std::string> VsftpdServer::unavailable() {
  if (!std::filesystem::exists(kProgram)) return std::string(kProgram) + " is missing (Debian's package vsftpd)";
  if (::geteuid() != 0) return "the vsftpd test server runs only in a test process of root";
  if (!::getpwnam(kAnonymousAccount)) return std::string("no account \"") + kAnonymousAccount + "\" (vsftpd's package makes it)";
  return std::nullopt;
}

VsftpdServer::VsftpdServer(FtpServerOptions options) : FtpTestServer("vsftpd", u"anonymous", u"skein10@example.org") {
  namespace fs = std::filesystem;
  fs::path top = root();
  fs::path empty = work() / "empty";
  fs::create_directory(empty);
  fs::permissions(top, fs::perms(0755));
  setRoot(top / "pub", u"/pub");
  fs::create_directory(root());
  giveTo(root(), kAnonymousAccount);
  fs::path config = work() / "vsftpd.conf";
  setAddress(options.address);
  const bool six = options.address.find(':') != std::string::npos;
  std::ofstream(config) << (six ? "listen=NO\nlisten_ipv6=YES\nlisten_address6=" : "listen=YES\nlisten_ipv6=NO\nlisten_address=")
                        << options.address << "\n"
                        << "listen_port=" << port() << "\n"
                        << "background=NO\nseccomp_sandbox=NO\nisolate=NO\nisolate_network=NO\n"
                        << "secure_chroot_dir=" << empty.string() << "\n"
                        << "anonymous_enable=YES\nlocal_enable=NO\nanon_root=" << top.string() << "\n"
                        << "ftp_username=" << kAnonymousAccount << "\nnopriv_user=" << kAnonymousAccount << "\n"
                        << "write_enable=YES\nanon_upload_enable=YES\nanon_mkdir_write_enable=YES\n"
                        << "anon_other_write_enable=YES\nanon_world_readable_only=NO\nanon_umask=022\n"
                        << "pasv_enable=YES\nport_enable=YES\nconnect_from_port_20=NO\n"
                        // Many sessions at once from 127.0.0.1; passive data
                        // ports come from the whole free range (no pasv_min_port).
                        << "max_clients=100\nmax_per_ip=100\n"
                        << "xferlog_enable=NO\ndirmessage_enable=NO\n"
                        << tlsLines(options);
  std::vector<std::string> environment;
  if (options.tls12Only) environment.push_back(tls12Cap(work() / "openssl-tls12.cnf"));
  start({kProgram, config.string()}, environment);
}

}  // namespace skein10::test

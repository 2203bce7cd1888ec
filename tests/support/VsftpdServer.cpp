#include "VsftpdServer.h"

#include <pwd.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>

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

}  // namespace

VsftpdServer::VsftpdServer() : FtpTestServer("vsftpd", u"anonymous", u"skein10@example.org") {
  namespace fs = std::filesystem;
  fs::path top = root();
  fs::path empty = work() / "empty";
  fs::create_directory(empty);
  fs::permissions(top, fs::perms(0755));
  setRoot(top / "pub", u"/pub");
  fs::create_directory(root());
  giveTo(root(), kAnonymousAccount);
  fs::path config = work() / "vsftpd.conf";
  std::ofstream(config) << "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\n"
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
                        << "xferlog_enable=NO\ndirmessage_enable=NO\n";
  start({"/usr/sbin/vsftpd", config.string()});
}

}  // namespace skein10::test

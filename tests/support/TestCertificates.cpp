#include "TestCertificates.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

namespace skein10::test {

namespace {

constexpr char kLoopbackNames[] = "subjectAltName=DNS:localhost,IP:127.0.0.1,IP:::1";
constexpr char kNewKey[] = " -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";

void run(const std::string& command, const std::filesystem::path& log) {
  const std::string line = "openssl " + command + " >>" + log.string() + " 2>&1";
  if (std::system(line.c_str()) != 0) throw std::runtime_error("openssl failed: " + line);
}

// Built piece by piece: GCC 12 at -O3 misreads "'" + text + "'" (-Wrestrict).
std::string quoted(const std::filesystem::path& file) {
  std::string text(1, '\'');
  text.append(file.string());
  text.push_back('\'');
  return text;
}

}  // namespace

const TestCertificates& TestCertificates::shared() {
  static const TestCertificates certificates;
  return certificates;
}

TestCertificates::TestCertificates() {
  const std::filesystem::path log = folder_ / "openssl.log";
  auto authority = [&](const std::string& name) {
    const std::filesystem::path cert = folder_ / (name + ".pem");
    run("req -x509" + std::string(kNewKey) + " -keyout " + quoted(folder_ / (name + ".key")) + " -out " +
            quoted(cert) + " -days 3 -subj '/CN=Skein10 " + name + "'" +
            " -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign",
        log);
    return cert;
  };
  authority_ = authority("test-authority");
  const std::filesystem::path stranger = authority("stranger-authority");

  key_ = folder_ / "server.key";
  const std::filesystem::path request = folder_ / "server.csr";
  run("req -new" + std::string(kNewKey) + " -keyout " + quoted(key_) + " -out " + quoted(request) +
          " -subj /CN=localhost",
      log);
  int serial = 1;
  auto sign = [&](const std::string& name, const std::filesystem::path& by, const std::string& names, int days) {
    const std::filesystem::path extensions = folder_ / (name + ".ext");
    std::ofstream(extensions) << names << "\n";
    const std::filesystem::path cert = folder_ / (name + ".pem");
    std::filesystem::path byKey = by;
    byKey.replace_extension(".key");
    run("x509 -req -in " + quoted(request) + " -CA " + quoted(by) + " -CAkey " + quoted(byKey) +
            " -set_serial " + std::to_string(serial++) + " -days " + std::to_string(days) + " -extfile " +
            quoted(extensions) + " -out " + quoted(cert),
        log);
    return cert;
  };
  server_ = sign("server", authority_, kLoopbackNames, 2);
  otherName_ = sign("other-name", authority_, "subjectAltName=DNS:other.example.org", 2);
  expired_ = sign("expired", authority_, kLoopbackNames, -1);
  unknownAuthority_ = sign("unknown-authority", stranger, kLoopbackNames, 2);
  ::setenv("SSL_CERT_FILE", authority_.c_str(), 1);
}

}  // namespace skein10::test

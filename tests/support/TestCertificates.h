#pragma once
// A certificate authority and server certificates for TLS tests, made once
// per test process with the openssl command in a temporary folder. Every
// server certificate shares one key. Making the set also points the
// process's trust store at the test authority (SSL_CERT_FILE), as a host
// would to trust a private authority.

#include <filesystem>

#include "TempDir.h"

namespace skein10::test {

class TestCertificates {
 public:
  // The process's set, made on first use.
  static const TestCertificates& shared();

  const std::filesystem::path& authority() const { return authority_; }
  const std::filesystem::path& key() const { return key_; }
  // For localhost, 127.0.0.1 and ::1, by the test authority.
  const std::filesystem::path& server() const { return server_; }
  // For other.example.org only, by the test authority.
  const std::filesystem::path& otherName() const { return otherName_; }
  // For the loopback names, by the test authority, expired since yesterday.
  const std::filesystem::path& expired() const { return expired_; }
  // For the loopback names, by an authority nobody trusts.
  const std::filesystem::path& unknownAuthority() const { return unknownAuthority_; }

 private:
  TestCertificates();

  TempDir folder_;
  std::filesystem::path authority_;
  std::filesystem::path key_;
  std::filesystem::path server_;
  std::filesystem::path otherName_;
  std::filesystem::path expired_;
  std::filesystem::path unknownAuthority_;
};

}  // namespace skein10::test

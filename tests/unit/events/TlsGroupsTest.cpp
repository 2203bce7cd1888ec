// The key-exchange groups a TLS client offers: read from OpenSSL's own
// hello, so the configured order holds, and the agreed group moved first
// for a resuming connection.

#include <gtest/gtest.h>
#include <openssl/ssl.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/events/TlsGroups.h"

namespace skein10::events {
namespace {

struct CtxFree {
  void operator()(SSL_CTX* c) const { SSL_CTX_free(c); }
};
struct SslFree {
  void operator()(SSL* s) const { SSL_free(s); }
};

std::unique_ptr<SSL_CTX, CtxFree> clientContext(const char* groups) {
  std::unique_ptr<SSL_CTX, CtxFree> context(SSL_CTX_new(TLS_client_method()));
  if (groups) SSL_CTX_set1_groups_list(context.get(), groups);
  return context;
}

// 23 is secp256r1, 24 secp384r1, 29 x25519 in TLS's numbering.
TEST(TlsGroups, ComeFromTheConfiguredListInItsOrder) {
  auto configured = clientContext("secp384r1:x25519:P-256");
  EXPECT_EQ(TlsGroups(configured.get()).names(), (std::vector<std::string>{"secp384r1", "x25519", "secp256r1"}));
  auto defaults = clientContext(nullptr);
  const std::vector<std::string> names = TlsGroups(defaults.get()).names();
  ASSERT_FALSE(names.empty());
  EXPECT_NE(std::find(names.begin(), names.end(), "secp256r1"), names.end());
}

TEST(TlsGroups, AResumingConnectionOffersItsGroupFirstAndTheRestInOrder) {
  auto context = clientContext("x25519:secp384r1:P-256");
  const TlsGroups groups(context.get());
  std::unique_ptr<SSL, SslFree> resuming(SSL_new(context.get()));
  groups.offerFirst(resuming.get(), NID_X9_62_prime256v1);
  EXPECT_EQ(TlsGroups::offeredBy(resuming.get()), (std::vector<int>{23, 29, 24}));
  std::unique_ptr<SSL, SslFree> unknown(SSL_new(context.get()));
  groups.offerFirst(unknown.get(), NID_secp521r1);  // not offered: nothing changes
  EXPECT_EQ(TlsGroups::offeredBy(unknown.get()), (std::vector<int>{29, 24, 23}));
}

TEST(TlsGroups, HelloParsingStopsAtTheEndOfShortOrForeignRecords) {
  auto context = clientContext("x25519:P-256");
  std::unique_ptr<SSL, SslFree> ssl(SSL_new(context.get()));
  BIO* in = BIO_new(BIO_s_mem());
  BIO* out = BIO_new(BIO_s_mem());
  SSL_set_bio(ssl.get(), in, out);
  SSL_set_connect_state(ssl.get());
  SSL_do_handshake(ssl.get());
  char* data = nullptr;
  const long size = BIO_get_mem_data(out, &data);
  const std::vector<unsigned char> hello(data, data + size);
  ASSERT_EQ(TlsGroups::helloGroups(hello), (std::vector<int>{29, 23}));
  for (std::size_t cut = 0; cut < hello.size(); ++cut) {
    TlsGroups::helloGroups(std::vector<unsigned char>(hello.begin(), hello.begin() + static_cast<long>(cut)));
  }
  std::vector<unsigned char> alert = hello;
  alert[0] = 21;
  EXPECT_TRUE(TlsGroups::helloGroups(alert).empty());
}

}  // namespace
}  // namespace skein10::events

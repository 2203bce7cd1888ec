#include "platform/events/TlsGroups.h"

#include <openssl/bio.h>
#include <openssl/ssl.h>
#include <openssl/tls1.h>

#include <algorithm>
#include <cstddef>
#include <memory>

namespace skein10::events {
namespace {

constexpr int kGroupsExtension = 10;  // supported_groups
constexpr unsigned char kHandshakeRecord = 22;
constexpr unsigned char kClientHello = 1;

struct SslFree {
  void operator()(SSL* ssl) const { SSL_free(ssl); }
};

// Reads the big-endian fields of a hello, failing softly past its end.
class Reader {
 public:
  Reader(const std::vector<unsigned char>& bytes, std::size_t from) : bytes_(bytes), at_(from) {}
  bool ok() const { return at_ <= bytes_.size(); }
  std::size_t number(std::size_t width) {
    std::size_t value = 0;
    for (std::size_t i = 0; i < width; ++i, ++at_) value = value << 8 | (at_ < bytes_.size() ? bytes_[at_] : 0);
    return value;
  }
  void skip(std::size_t count) { at_ += count; }
  // Skips a field preceded by its length in `width` bytes.
  void skipVector(std::size_t width) { skip(number(width)); }
  std::size_t position() const { return at_; }

 private:
  const std::vector<unsigned char>& bytes_;
  std::size_t at_;
};

}  // namespace

std::vector<int> TlsGroups::offeredBy(SSL* ssl) {
  BIO* in = BIO_new(BIO_s_mem());
  BIO* out = BIO_new(BIO_s_mem());
  if (!in || !out) {
    BIO_free(in);
    BIO_free(out);
    return {};
  }
  SSL_set_bio(ssl, in, out);
  SSL_set_connect_state(ssl);
  SSL_do_handshake(ssl);  // writes the hello, then waits for an answer that never comes
  char* data = nullptr;
  const long size = BIO_get_mem_data(out, &data);
  if (size <= 0 || !data) return {};
  return helloGroups(std::vector<unsigned char>(data, data + size));
}

std::vector<int> TlsGroups::helloGroups(const std::vector<unsigned char>& record) {
  if (record.size() < 9 || record[0] != kHandshakeRecord || record[5] != kClientHello) return {};
  Reader hello(record, 9);  // after the record's and the handshake's headers
  hello.skip(2 + 32);       // version, random
  hello.skipVector(1);      // session id
  hello.skipVector(2);      // cipher suites
  hello.skipVector(1);      // compression methods
  const std::size_t extensionsLength = hello.number(2);
  const std::size_t extensionsEnd = hello.position() + extensionsLength;
  while (hello.ok() && hello.position() + 4 <= std::min(extensionsEnd, record.size())) {
    const std::size_t type = hello.number(2);
    const std::size_t length = hello.number(2);
    if (type != kGroupsExtension) {
      hello.skip(length);
      continue;
    }
    std::vector<int> groups;
    const std::size_t listLength = hello.number(2);
    const std::size_t listEnd = hello.position() + listLength;
    while (hello.position() + 2 <= std::min(listEnd, record.size())) groups.push_back(static_cast<int>(hello.number(2)));
    return groups;
  }
  return {};
}

TlsGroups::TlsGroups(SSL_CTX* context) {
  std::unique_ptr<SSL, SslFree> ssl(SSL_new(context));
  if (!ssl) return;
  for (int id : offeredBy(ssl.get())) {
    // A group id marked as unknown to OpenSSL's numbering is looked up by
    // its TLS number.
    if (const char* name = SSL_group_to_name(ssl.get(), id | TLSEXT_nid_unknown)) names_.emplace_back(name);
  }
}

void TlsGroups::offerFirst(SSL* ssl, int nid) const {
  const char* agreed = nid == 0 ? nullptr : SSL_group_to_name(ssl, nid);
  if (!agreed) return;
  const auto found = std::find(names_.begin(), names_.end(), agreed);
  if (found == names_.end()) return;
  std::string list = *found;
  for (auto it = names_.begin(); it != names_.end(); ++it) {
    if (it != found) list += ":" + *it;
  }
  SSL_set1_groups_list(ssl, list.c_str());
}

}  // namespace skein10::events

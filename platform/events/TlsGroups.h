#pragma once
// The key-exchange groups a TLS client offers, and their order for a
// connection that resumes a session: the group the session agreed on first,
// so its first hello carries the key share the server takes (a server that
// takes only another group than the client's first choice asks for a second
// hello, one round trip more, on every data connection).

#include <string>
#include <vector>

#include "platform/Export.h"

struct ssl_st;
struct ssl_ctx_st;

namespace skein10::events {

class SKEIN10_INTERNAL_API TlsGroups {
 public:
  TlsGroups() = default;
  // The groups `context` offers, in its order, as OpenSSL's configuration
  // (the system's, or its defaults) gives them. OpenSSL 3.0 has no call
  // that tells a client's groups, so they are read from the groups
  // extension of a hello it writes for a connection that is never made.
  explicit TlsGroups(ssl_ctx_st* context);

  // Makes `ssl` offer its session's group `nid` first and the others after
  // it in their order; changes nothing when the group is not offered.
  void offerFirst(ssl_st* ssl, int nid) const;

  const std::vector<std::string>& names() const { return names_; }

  // The group ids (TLS numbers) a new client connection `ssl` offers, from
  // the hello it writes (into memory: `ssl` is used up).
  static std::vector<int> offeredBy(ssl_st* ssl);
  // The group ids of the groups extension in a client hello record; empty
  // when the bytes hold none.
  static std::vector<int> helloGroups(const std::vector<unsigned char>& record);

 private:
  std::vector<std::string> names_;  // OpenSSL's names ("x25519", "secp256r1"), preferred first
};

}  // namespace skein10::events

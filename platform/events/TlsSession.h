#pragma once
// A TLS session a server gave a client connection, kept so that a later
// connection to the same server can resume it (a TLS 1.2 session id or a
// TLS 1.3 ticket), with the key-exchange group that connection agreed on:
// a resuming connection offers that group first, so a server that takes
// only another group than the client's first choice does not ask for a
// second hello (one round trip more) on every data connection. Copies
// share one reference; the empty value holds none.

#include <memory>

struct ssl_session_st;

namespace skein10 {

class TlsSession {
 public:
  TlsSession() = default;
  // Takes over one reference to `session` (nullptr gives the empty value).
  // `group`: the agreed group's OpenSSL id, 0 when unknown.
  explicit TlsSession(ssl_session_st* session, int group = 0);

  bool empty() const { return !session_; }
  ssl_session_st* get() const { return session_.get(); }
  int group() const { return group_; }

 private:
  std::shared_ptr<ssl_session_st> session_;
  int group_ = 0;
};

}  // namespace skein10

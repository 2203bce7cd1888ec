#pragma once
// A TLS session a server gave a client connection, kept so that a later
// connection to the same server can resume it (a TLS 1.2 session id or a
// TLS 1.3 ticket). Copies share one reference; the empty value holds none.

#include <memory>

struct ssl_session_st;

namespace skein10 {

class TlsSession {
 public:
  TlsSession() = default;
  // Takes over one reference to `session` (nullptr gives the empty value).
  explicit TlsSession(ssl_session_st* session);

  bool empty() const { return !session_; }
  ssl_session_st* get() const { return session_.get(); }

 private:
  std::shared_ptr<ssl_session_st> session_;
};

}  // namespace skein10

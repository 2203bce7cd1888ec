#pragma once
// The server's end of a TLS connection on a test socket, for scripted
// servers: the handshake, bytes both ways, and the two ways to end, with the
// closing alert or with a plain TCP end that leaves it out. Every wait is
// bounded; failures throw std::runtime_error.

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "TestSocket.h"

struct ssl_ctx_st;
struct ssl_st;

namespace skein10::test {

class TlsServerStream {
 public:
  struct ContextFree {
    void operator()(ssl_ctx_st* context) const;
  };
  using Context = std::unique_ptr<ssl_ctx_st, ContextFree>;

  // A server configuration with `certificate` and TestCertificates' key,
  // capped at TLS 1.2 when asked; it keeps sessions for resumption.
  static Context newContext(const std::filesystem::path& certificate, bool tls12Only = false);

  // The server's side of the handshake on `socket`, which must outlive this.
  TlsServerStream(TestSocket& socket, ssl_ctx_st* context);
  ~TlsServerStream();
  TlsServerStream(const TlsServerStream&) = delete;
  TlsServerStream& operator=(const TlsServerStream&) = delete;

  // "TLSv1.3", "TLSv1.2".
  std::string version() const;
  void send(std::string_view bytes);
  // The next decrypted bytes; empty once the peer has ended.
  std::string receive(milliseconds timeout);
  // Whether decrypted bytes or the peer's end are waiting.
  bool readable(milliseconds timeout);
  // Sends the closing alert.
  void closeNotify();
  // Ends this side's sending with a plain TCP end: after closeNotify() the
  // normal end; without it an end that leaves the alert out, as a server
  // that cuts a transfer short (or someone on the path) makes.
  void shutdownSend();

 private:
  struct SslFree {
    void operator()(ssl_st* ssl) const;
  };

  TestSocket& socket_;
  std::unique_ptr<ssl_st, SslFree> ssl_;
};

}  // namespace skein10::test

#pragma once
// The bytes of a connection through TLS, as its client: OpenSSL directly on
// the socket's non-blocking descriptor, so the socket's readiness waits drive
// the handshake, the records and the closing alert alike.
//
// The server's certificate is verified against the system's trust store
// (OpenSSL's default paths: SSL_CERT_FILE and SSL_CERT_DIR choose another)
// and for the peer name given, a host name or an IP address. There is no way
// to turn verification off. TLS 1.2 and 1.3.

#include <asio/ip/tcp.hpp>
#include <memory>
#include <string>
#include <vector>

#include "platform/events/SocketTransport.h"
#include "platform/events/TlsSession.h"

struct ssl_st;

namespace skein10::events {

class TlsTransport final : public SocketTransport {
 public:
  // A client connection over the connected `socket`, offering `resume` (may
  // be empty). The handshake starts with the first handshake() call.
  TlsTransport(asio::ip::tcp::socket& socket, const std::string& peerName, const TlsSession& resume);
  ~TlsTransport() override;
  TlsTransport(const TlsTransport&) = delete;
  TlsTransport& operator=(const TlsTransport&) = delete;

  // Takes the handshake as far as it goes now: no error once it is done,
  // would_block while it waits for the peer, any other error when it failed.
  void handshake(asio::error_code& ec);
  // Sends what was gathered, then the closing alert (close_notify): no
  // error once both have gone, would_block while the connection takes
  // nothing more. The peer's answer is not awaited.
  void finish(asio::error_code& ec) override;

  // Pieces written with more to come (an upload stream) are gathered into
  // one record's worth of plaintext, encrypted and sent only once it is
  // full, so that small pieces leave as full TLS records (a server that
  // relays each record between processes pays per record). What is
  // gathered goes by push(), by finish(), and before anything written
  // without more to come. Dropping the transport drops it.
  //
  // Sends what was gathered: no error once it has gone, would_block while
  // the connection takes nothing more.
  void push(asio::error_code& ec);
  // Whether gathered bytes wait to be sent.
  bool holdsOutput() const { return !outgoing_.empty(); }

  std::size_t poll(asio::error_code& ec) override;
  std::size_t read(std::span<uint8_t> into, asio::error_code& ec) override;
  bool holdsBytes() const override;
  // Each call's bytes go out in records of their own; `moreToCome` changes
  // nothing yet.
  std::size_t write(std::span<const uint8_t> bytes, bool moreToCome, asio::error_code& ec) override;
  SocketFailure failure(const asio::error_code& ec) const override;

  // The newest session the server gave this connection (a TLS 1.3 server
  // sends its tickets after the handshake, so this can change while the
  // connection reads); the established one until then.
  TlsSession session() const;
  // Whether the handshake resumed the offered session.
  bool sessionReused() const;
  // Whether the peer ended the connection without the closing alert; its
  // reads then report the end (eof) like a closed connection.
  bool endedWithoutCloseNotify() const { return endedWithoutCloseNotify_; }

  // Called by OpenSSL with each new session of a client connection.
  static int keepSession(ssl_st* ssl, struct ssl_session_st* session);

 private:
  struct SslFree {
    void operator()(ssl_st* ssl) const;
  };

  // The error code for an OpenSSL call that returned `result`; a failure's
  // text is kept for failure().
  asio::error_code outcome(int result, bool handshaking);
  void describe(bool handshaking);
  asio::error_code endedPlainly();
  // One SSL_write of as much of `bytes` as OpenSSL takes at once.
  std::size_t encrypt(std::span<const uint8_t> bytes, asio::error_code& ec);

  std::unique_ptr<ssl_st, SslFree> ssl_;
  std::vector<uint8_t> buffer_;  // decrypted bytes poll() took, not read yet
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  // Gathered plaintext, at most a record; from outgoingSent_ on not yet taken
  // by OpenSSL. Once an SSL_write of it waits for the connection, OpenSSL
  // must be offered the same bytes again, so nothing is added until it has
  // gone.
  std::vector<uint8_t> outgoing_;
  std::size_t outgoingSent_ = 0;
  bool pushing_ = false;  // a push began and has not finished
  TlsSession newest_;
  std::string failureText_;
  bool endedWithoutCloseNotify_ = false;
};

}  // namespace skein10::events

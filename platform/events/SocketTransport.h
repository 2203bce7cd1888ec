#pragma once
// How a connected socket's bytes cross the connection: as they are, or
// through TLS. The socket's receive side and send queue talk only to this,
// so both kinds of connection share one readiness-driven path.

#include <asio/error_code.hpp>
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/events/SocketError.h"

namespace skein10::events {

class SocketTransport {
 public:
  // What an operation that would block waits for before it is tried again.
  enum class Wait { Read, Write };

  virtual ~SocketTransport() = default;

  // Bytes that can be read now: a positive count, or 0 with `ec` saying why
  // not (would_block: wait for wait(); eof: the peer has closed; anything
  // else: the connection failed).
  virtual std::size_t poll(asio::error_code& ec) = 0;
  // Reads what is there, at most into.size(); the errors are poll's.
  virtual std::size_t read(std::span<uint8_t> into, asio::error_code& ec) = 0;
  // Writes what the connection takes now; would_block when it takes nothing.
  // `moreToCome`: the piece is part of a stream whose next piece follows
  // soon (an upload), so the transport may send it with what follows rather
  // than in a segment of its own.
  //
  // After would_block the caller offers the same remaining bytes again,
  // first, possibly from another buffer (what the socket queues is a copy):
  // a TLS transport may hold part of them in a record it has begun, and
  // reports them as written only on that retry. (Bytes a TLS transport
  // gathers from a stream count as written at once; it keeps them itself
  // until they have gone, see finish().)
  virtual std::size_t write(std::span<const uint8_t> bytes, bool moreToCome, asio::error_code& ec) = 0;
  // Whether bytes that came in wait inside the transport itself, where no
  // readiness of the connection tells of them (decrypted, not yet read).
  virtual bool holdsBytes() const { return false; }
  // Sends what the transport still holds of what write() took, then the end
  // of its data (TLS: its closing alert): no error once all of it has gone,
  // would_block while the connection takes nothing more. A plain connection
  // holds nothing: the system sends the rest before the connection's end.
  virtual void finish(asio::error_code& ec) { ec.clear(); }
  // What the last operation that would block waits for.
  Wait wait() const { return wait_; }
  // The error the socket reports for a failure of this transport.
  virtual SocketFailure failure(const asio::error_code& ec) const { return socketFailure(ec); }

 protected:
  Wait wait_ = Wait::Read;
};

}  // namespace skein10::events

#pragma once
// The bytes of a connection as they are, straight from and to the system's
// non-blocking socket.

#include <asio/ip/tcp.hpp>

#include "platform/events/SocketTransport.h"

namespace skein10::events {

class PlainTransport final : public SocketTransport {
 public:
  explicit PlainTransport(asio::ip::tcp::socket& socket) : socket_(socket) {}

  std::size_t poll(asio::error_code& ec) override;
  std::size_t read(std::span<uint8_t> into, asio::error_code& ec) override;
  // A piece with more to come goes marked so (MSG_MORE): small pieces leave
  // in full segments, and what the system holds back goes with the next
  // write without the mark (or once the socket sets TCP_NODELAY again).
  std::size_t write(std::span<const uint8_t> bytes, bool moreToCome, asio::error_code& ec) override;

 private:
  asio::ip::tcp::socket& socket_;
};

}  // namespace skein10::events

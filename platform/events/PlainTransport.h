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
  std::size_t write(std::span<const uint8_t> bytes, asio::error_code& ec) override;
  // While streaming, writes are marked as more to come (MSG_MORE), so small
  // pieces leave in full segments.
  void setStreaming(bool streaming) { streaming_ = streaming; }
  bool streaming() const { return streaming_; }

 private:
  asio::ip::tcp::socket& socket_;
  bool streaming_ = false;
};

}  // namespace skein10::events

#include "platform/events/PlainTransport.h"

#include <sys/socket.h>

#include <algorithm>

namespace skein10::events {

// The system counts what is buffered; when that is nothing, a one-byte peek
// tells an empty connection (would_block) from a closed (eof) or failed one.
std::size_t PlainTransport::poll(asio::error_code& ec) {
  wait_ = Wait::Read;
  std::size_t count = socket_.available(ec);
  if (count > 0 || ec) return count;
  uint8_t probe;
  if (socket_.receive(asio::buffer(&probe, 1), asio::ip::tcp::socket::message_peek, ec) == 0) return 0;
  return std::max<std::size_t>(socket_.available(ec), 1);
}

std::size_t PlainTransport::read(std::span<uint8_t> into, asio::error_code& ec) {
  wait_ = Wait::Read;
  return socket_.read_some(asio::buffer(into.data(), into.size()), ec);
}

std::size_t PlainTransport::write(std::span<const uint8_t> bytes, bool moreToCome, asio::error_code& ec) {
  wait_ = Wait::Write;
  return socket_.send(asio::buffer(bytes.data(), bytes.size()), moreToCome ? MSG_MORE : 0, ec);
}

}  // namespace skein10::events

#include "platform/events/ClosingConnections.h"

#include <asio/buffer.hpp>

namespace skein10::events {

void ClosingConnections::close(asio::ip::tcp::socket connection, std::unique_ptr<SocketTransport> unfinished) {
  if (closing_.size() >= kMaxClosing) resetOldest();
  const uint64_t id = nextId_++;
  auto& closing = closing_[id] = std::make_unique<Closing>(std::move(connection), io_);
  closing->unfinished = std::move(unfinished);
  closing->deadline.expires_after(kMaxLinger);
  closing->deadline.async_wait([this, id](const asio::error_code& ec) {
    if (!ec) finish(id);
  });
  finishSending(id);
}

// The transport's rest goes as the connection takes it; then this side ends
// (after the bytes the system holds) and the peer's end is awaited.
void ClosingConnections::finishSending(uint64_t id) {
  Closing& closing = *closing_.at(id);
  asio::error_code ec;
  if (closing.unfinished) closing.unfinished->finish(ec);
  if (ec == asio::error::would_block) {
    const auto wait = closing.unfinished->wait() == SocketTransport::Wait::Read ? asio::ip::tcp::socket::wait_read
                                                                                : asio::ip::tcp::socket::wait_write;
    return closing.connection.async_wait(wait, [this, id](const asio::error_code& ec) {
      if (ec || !closing_.count(id)) return finish(id);
      finishSending(id);
    });
  }
  closing.unfinished.reset();
  if (!ec) closing.connection.shutdown(asio::ip::tcp::socket::shutdown_send, ec);
  if (ec) return finish(id);  // nothing more can come of it: it closes here
  drain(id);
}

// Reads and drops until the peer's end, a failure or the byte bound; the
// handlers look the connection up by id, so one that finished meanwhile is
// left alone.
void ClosingConnections::drain(uint64_t id) {
  Closing& closing = *closing_.at(id);
  closing.connection.async_read_some(asio::buffer(closing.buffer), [this, id](const asio::error_code& ec,
                                                                              std::size_t count) {
    const auto found = closing_.find(id);
    if (found == closing_.end()) return;
    found->second->dropped += count;
    if (ec || found->second->dropped > kMaxDropped) return finish(id);
    drain(id);
  });
}

void ClosingConnections::resetOldest() {
  asio::error_code ignored;
  closing_.begin()->second->connection.set_option(asio::socket_base::linger(true, 0), ignored);
  finish(closing_.begin()->first);
}

void ClosingConnections::finish(uint64_t id) {
  const auto found = closing_.find(id);
  if (found == closing_.end()) return;
  asio::error_code ignored;
  found->second->deadline.cancel();
  found->second->connection.close(ignored);
  closing_.erase(found);
}

}  // namespace skein10::events

#pragma once
// The thread's connections that their sockets have closed while the peer
// may still be busy with them. Closing a descriptor outright while sent
// bytes still wait for the peer's window loses them as soon as the peer
// sends anything more (a TLS server's late session ticket, say): the system
// answers a closed descriptor's incoming bytes with a reset and drops what
// it still held. So a closed connection first stops sending (its end
// follows the bytes the system holds), then reads and drops what still
// arrives until the peer ends it too, fails, kMaxLinger passes or more than
// kMaxDropped bytes came (a peer that streams on), and only then lets go of
// its descriptor. At most kMaxClosing connections of a thread wait so; past
// that the oldest is reset, so a peer that never ends its side can't make
// the descriptors pile up however many connections close. A connection whose
// transport still holds bytes to send (TLS's gathered record and closing
// alert) sends them first, as the connection takes them, within the same
// bound.

#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <asio/steady_timer.hpp>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>

#include "platform/events/SocketTransport.h"
#include "platform/Export.h"

namespace skein10::events {

class SKEIN10_INTERNAL_API ClosingConnections {
 public:
  static constexpr std::chrono::seconds kMaxLinger{10};
  static constexpr std::size_t kMaxDropped = 1 << 20;
  static constexpr std::size_t kMaxClosing = 8;

  explicit ClosingConnections(asio::io_context& io) : io_(io) {}
  ClosingConnections(const ClosingConnections&) = delete;
  ClosingConnections& operator=(const ClosingConnections&) = delete;

  // Ends `connection` in order, as above; it must be open and connected.
  // `unfinished` (may be empty) is its transport when that still has bytes
  // to send (see SocketTransport::finish).
  void close(asio::ip::tcp::socket connection, std::unique_ptr<SocketTransport> unfinished = nullptr);
  // Connections still waiting for their peer's end.
  std::size_t size() const { return closing_.size(); }

 private:
  struct Closing {
    Closing(asio::ip::tcp::socket connection, asio::io_context& io)
        : connection(std::move(connection)), deadline(io) {}
    asio::ip::tcp::socket connection;
    std::unique_ptr<SocketTransport> unfinished;
    asio::steady_timer deadline;
    std::array<uint8_t, 4096> buffer{};
    std::size_t dropped = 0;
  };

  // Sends what the transport still holds, then ends this side.
  void finishSending(uint64_t id);
  void drain(uint64_t id);
  void finish(uint64_t id);
  // Ends the oldest connection still waiting with a reset.
  void resetOldest();

  asio::io_context& io_;
  std::map<uint64_t, std::unique_ptr<Closing>> closing_;  // by id: the oldest first
  uint64_t nextId_ = 0;
};

}  // namespace skein10::events

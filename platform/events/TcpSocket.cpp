#include "platform/events/TcpSocket.h"

#include <ifaddrs.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <asio/connect.hpp>
#include <asio/ip/tcp.hpp>
#include <asio/write.hpp>
#include <string>
#include <vector>

#include "platform/events/EventLoop.h"
#include "platform/events/SendQueue.h"
#include "platform/events/SocketError.h"

namespace skein10 {
namespace {

using asio::ip::tcp;

enum Kind : int32_t { kDataArrival, kClose, kConnect, kConnectionRequest, kError, kSendComplete };

// Where the receive side stands. The socket announces data once, then waits
// for GetData before it looks at the connection again, so a handler that
// never reads gets no flood of events.
enum class ReadPhase {
  Idle,       // not watching (no connection yet)
  Waiting,    // waiting for the connection to become readable
  Queued,     // a DataArrival event is queued
  Delivered,  // DataArrival was raised; waiting for GetData
  Done,       // the peer closed or the connection failed
};

// The first IPv4 address of an interface that is up and not loopback; the
// loopback address when there is none.
asio::ip::address_v4 hostAddress() {
  asio::ip::address_v4 found = asio::ip::address_v4::loopback();
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return found;
  for (const ifaddrs* a = list; a; a = a->ifa_next) {
    if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET) continue;
    const auto* in = reinterpret_cast<const sockaddr_in*>(a->ifa_addr);
    const asio::ip::address_v4 address(ntohl(in->sin_addr.s_addr));
    if (!address.is_loopback()) {
      found = address;
      break;
    }
  }
  freeifaddrs(list);
  return found;
}

// An arrival at least this large is taken as part of a stream.
constexpr std::size_t kStreamArrival = 16 * 1024;

void checkPort(int32_t port) {
  if (port < 0 || port > 65535) throw events::socketError(sockerr::InvalidArgument);
}

}  // namespace

struct TcpSocket::Impl : events::EventTarget, std::enable_shared_from_this<TcpSocket::Impl> {
  explicit Impl(TcpSocket* owner) : owner(owner) {}

  // ---- state -----------------------------------------------------------

  void require(bool allowed) const {
    if (!allowed) throw events::socketError(sockerr::BadState);
  }
  bool canTransfer() const { return state == SocketState::Connected || state == SocketState::Closing; }

  void raise(Kind kind, int32_t number = 0, String text = {}) {
    loop->raise(weak_from_this(), kind, generation, number, std::move(text));
  }

  void fail(const asio::error_code& ec) {
    state = SocketState::Error;
    readPhase = ReadPhase::Done;
    events::SocketFailure failure = events::socketFailure(ec);
    raise(kError, failure.number, std::move(failure.description));
  }

  // A completion handler that runs `f` only while the socket still exists
  // and has not been closed since the operation started.
  template <typename F>
  auto guard(F f) {
    return [self = weak_from_this(), started = generation, f](auto&&... args) {
      auto impl = self.lock();
      if (!impl || impl->generation != started) return;
      f(*impl, std::forward<decltype(args)>(args)...);
    };
  }

  void close() {
    ++generation;
    asio::error_code ignored;
    socket.close(ignored);
    acceptor.close(ignored);
    resolver.cancel();
    sends->dropWaiting();
    streaming = false;
    state = SocketState::Closed;
    readPhase = ReadPhase::Idle;
  }

  // ---- connecting --------------------------------------------------------

  void connect() {
    require(state == SocketState::Closed);
    if (remoteHost.empty() || remotePort == 0) throw events::socketError(sockerr::InvalidArgument);
    asio::error_code ec;
    const std::string host = toUtf8(remoteHost);
    const asio::ip::address_v4 address = asio::ip::make_address_v4(host, ec);
    if (!ec) {
      connectTo({tcp::endpoint(address, static_cast<uint16_t>(remotePort))});
      return;
    }
    state = SocketState::ResolvingHost;
    resolver.async_resolve(tcp::v4(), host, std::to_string(remotePort), tcp::resolver::numeric_service,
                           guard([](Impl& s, const asio::error_code& ec, const tcp::resolver::results_type& found) {
                             if (ec) return s.fail(ec);
                             s.state = SocketState::HostResolved;
                             std::vector<tcp::endpoint> targets;
                             for (const auto& entry : found) targets.push_back(entry.endpoint());
                             s.connectTo(std::move(targets));
                           }));
  }

  void connectTo(std::vector<tcp::endpoint> targets) {
    state = SocketState::Connecting;
    endpoints = std::move(targets);
    nextEndpoint = 0;
    connectNext();
  }

  // Tries the next address; the last failure is the one reported.
  void connectNext() {
    asio::error_code ec;
    socket.close(ec);
    socket.open(tcp::v4(), ec);
    if (!ec && localPort != 0) socket.bind(tcp::endpoint(tcp::v4(), static_cast<uint16_t>(localPort)), ec);
    if (ec) return fail(ec);
    socket.async_connect(endpoints[nextEndpoint++], guard([](Impl& s, const asio::error_code& ec) {
                           if (!ec) {
                             s.connected();
                             s.raise(kConnect);
                             s.checkReadable();
                           } else if (s.nextEndpoint < s.endpoints.size()) {
                             s.connectNext();
                           } else {
                             s.fail(ec);
                           }
                         }));
  }

  void connected() {
    state = SocketState::Connected;
    readPhase = ReadPhase::Idle;
    asio::error_code ec;
    socket.non_blocking(true, ec);
    socket.set_option(tcp::no_delay(true), ec);
    peer = socket.remote_endpoint(ec);
  }

  // ---- listening ---------------------------------------------------------

  void listen() {
    require(state == SocketState::Closed);
    asio::error_code ec;
    acceptor.open(tcp::v4(), ec);
    if (!ec) acceptor.set_option(tcp::acceptor::reuse_address(true), ec);
    if (!ec) acceptor.bind(tcp::endpoint(bindAddress, static_cast<uint16_t>(localPort)), ec);
    if (!ec) acceptor.listen(tcp::socket::max_listen_connections, ec);
    if (ec) {
      asio::error_code ignored;
      acceptor.close(ignored);
      throw events::socketError(ec);
    }
    state = SocketState::Listening;
    acceptNext();
  }

  void acceptNext() {
    acceptor.async_accept(guard([](Impl& s, const asio::error_code& ec, tcp::socket connection) {
      if (ec == asio::error::connection_aborted) return s.acceptNext();  // the peer gave up first
      if (ec) return s.fail(ec);
      s.raise(kConnectionRequest, s.loop->pendingConnections().add(std::move(connection), &s));
      s.acceptNext();
    }));
  }

  void accept(int32_t requestID) {
    require(state == SocketState::Closed);
    std::optional<tcp::socket> connection = loop->pendingConnections().take(requestID);
    if (!connection) throw events::socketError(sockerr::InvalidArgument);
    socket = std::move(*connection);
    connected();
    checkReadable();
  }

  // ---- receiving ---------------------------------------------------------

  // Looks at the connection now: bytes to announce, the peer's close, a
  // failure, or nothing yet (then waits for it to become readable).
  // One peeked byte tells them apart in one system call.
  void checkReadable() {
    asio::error_code ec;
    uint8_t probe;
    socket.receive(asio::buffer(&probe, 1), tcp::socket::message_peek, ec);
    if (!ec) {
      announceArrival();
    } else if (ec == asio::error::would_block) {
      waitReadable();
    } else if (ec == asio::error::eof) {
      state = SocketState::Closing;
      readPhase = ReadPhase::Done;
      raise(kClose);
    } else {
      fail(ec);
    }
  }

  // Readable means bytes, the peer's close or a failure: deliverArrival
  // finds out which when it counts the bytes. The wait completes at once
  // when the connection is readable already.
  void waitReadable() {
    readPhase = ReadPhase::Waiting;
    socket.async_wait(tcp::socket::wait_read, guard([](Impl& s, const asio::error_code& ec) {
                        if (ec) return s.fail(ec);
                        s.announceArrival();
                      }));
  }

  void announceArrival() {
    readPhase = ReadPhase::Queued;
    raise(kDataArrival);
  }

  // The count is taken at delivery, so it is exact even when the caller
  // read some bytes before the event came.
  void deliverArrival() {
    if (readPhase != ReadPhase::Queued || !canTransfer()) return;
    asio::error_code ec;
    const std::size_t count = socket.available(ec);
    if (ec || count == 0) return checkReadable();
    readPhase = ReadPhase::Delivered;
    if (owner->onDataArrival) owner->onDataArrival(static_cast<int32_t>(std::min<std::size_t>(count, kMaxArrival)));
  }

  std::size_t read(std::span<uint8_t> into) {
    require(canTransfer() || state == SocketState::Error);
    if (state == SocketState::Error || into.empty()) return 0;
    asio::error_code ec;
    const std::size_t count = socket.read_some(asio::buffer(into.data(), into.size()), ec);
    if (ec && ec != asio::error::would_block && ec != asio::error::eof) {
      fail(ec);
      return 0;
    }
    // After a large arrival more is likely there already: a look costs less
    // than a wait. After a small one (a reply) the wait alone is cheaper.
    if (readPhase == ReadPhase::Delivered) {
      if (count >= kStreamArrival) {
        checkReadable();
      } else {
        waitReadable();
      }
    }
    return count;
  }

  // What a read of at most maxBytes may take; 0 or less means all there is.
  std::size_t readLimit(int32_t maxBytes) const {
    if (maxBytes > 0) return static_cast<std::size_t>(maxBytes);
    asio::error_code ec;
    return std::min<std::size_t>(socket.available(ec), kMaxArrival);
  }

  // ---- sending -----------------------------------------------------------

  // A piece goes straight to the operating system when nothing is queued
  // before it; only what it does not take at once is copied and queued.
  void send(std::span<const uint8_t> bytes) {
    require(canTransfer());
    if (sends->empty()) {
      asio::error_code ec;
      const int flags = streaming ? MSG_MORE : 0;
      std::size_t count = socket.send(asio::buffer(bytes.data(), bytes.size()), flags, ec);
      if (ec == asio::error::would_block) {
        count = 0;
      } else if (ec) {
        return fail(ec);
      }
      if (count == bytes.size()) return raise(kSendComplete);
      bytes = bytes.subspan(count);
    }
    sends->push(bytes);
    if (!sends->writing) writeFront();
  }

  // Ending a stream pushes what the system holds back: setting the no-delay
  // option again sends any partial segment at once.
  void setStreaming(bool on) {
    const bool ending = streaming && !on;
    streaming = on;
    asio::error_code ignored;
    if (ending && socket.is_open()) socket.set_option(tcp::no_delay(true), ignored);
  }

  // One write at a time, in order. The handler shares the queue, so the
  // buffer being written stays valid even if the socket goes away.
  void writeFront() {
    sends->writing = true;
    asio::async_write(socket, asio::buffer(sends->front()),
                      [self = weak_from_this(), queue = sends, started = generation](const asio::error_code& ec,
                                                                                     std::size_t) {
                        queue->writing = false;
                        queue->pop();
                        if (auto impl = self.lock()) impl->written(ec, started);
                      });
  }

  void written(const asio::error_code& ec, uint32_t started) {
    if (started == generation) {
      if (ec) return fail(ec);
      raise(kSendComplete);
    }
    // Pieces queued for the next connection while a closed one's write was
    // still being cancelled go now.
    if (!sends->empty() && canTransfer()) writeFront();
  }

  // ---- events ------------------------------------------------------------

  void deliver(const events::LoopEvent& event) override {
    if (!owner || event.generation != generation) return;
    switch (event.kind) {
      case kDataArrival:
        return deliverArrival();
      case kClose:
        if (owner->onClose) owner->onClose();
        return;
      case kConnect:
        if (owner->onConnect) owner->onConnect();
        return;
      case kConnectionRequest:
        if (owner->onConnectionRequest) owner->onConnectionRequest(event.number);
        return;
      case kError:
        if (owner->onError) owner->onError(event.number, event.text);
        return;
      case kSendComplete:
        if (owner->onSendComplete) owner->onSendComplete();
        return;
    }
  }

  // The loop is declared first so that it outlives the Asio objects below.
  std::shared_ptr<events::EventLoop> loop = events::EventLoop::current();
  std::shared_ptr<events::SendQueue> sends = std::make_shared<events::SendQueue>();
  TcpSocket* owner;
  tcp::socket socket{loop->context()};
  tcp::acceptor acceptor{loop->context()};
  tcp::resolver resolver{loop->context()};
  std::vector<tcp::endpoint> endpoints;
  std::size_t nextEndpoint = 0;
  tcp::endpoint peer;
  SocketState state = SocketState::Closed;
  ReadPhase readPhase = ReadPhase::Idle;
  uint32_t generation = 0;
  bool streaming = false;  // pieces go out marked as more to come
  String remoteHost;
  int32_t remotePort = 0;
  int32_t localPort = 0;
  asio::ip::address_v4 bindAddress = asio::ip::address_v4::any();
  std::string textBuffer;
};

TcpSocket::TcpSocket() : impl_(std::make_shared<Impl>(this)) {}

TcpSocket::~TcpSocket() {
  impl_->owner = nullptr;
  impl_->close();
  impl_->loop->pendingConnections().dropListener(impl_.get());
}

SocketState TcpSocket::State() const { return impl_->state; }

void TcpSocket::Close() { impl_->close(); }

void TcpSocket::Abort() {
  asio::error_code ignored;
  if (impl_->socket.is_open()) impl_->socket.set_option(asio::socket_base::linger(true, 0), ignored);
  impl_->close();
}

String TcpSocket::RemoteHost() const { return impl_->remoteHost; }

void TcpSocket::setRemoteHost(String host) { impl_->remoteHost = std::move(host); }

int32_t TcpSocket::RemotePort() const { return impl_->remotePort; }

void TcpSocket::setRemotePort(int32_t port) {
  checkPort(port);
  impl_->remotePort = port;
}

String TcpSocket::RemoteHostIP() const {
  if (impl_->peer.port() == 0) return {};
  return fromUtf8(impl_->peer.address().to_string());
}

int32_t TcpSocket::LocalPort() const {
  asio::error_code ec;
  if (impl_->state == SocketState::Listening) return impl_->acceptor.local_endpoint(ec).port();
  if (impl_->socket.is_open()) {
    const tcp::endpoint local = impl_->socket.local_endpoint(ec);
    if (!ec) return local.port();
  }
  return impl_->localPort;
}

void TcpSocket::setLocalPort(int32_t port) {
  checkPort(port);
  impl_->localPort = port;
}

// A socket bound to no address of its own (closed, or listening on all
// addresses) reports the host's address, which is what a peer can reach.
String TcpSocket::LocalIP() const {
  asio::error_code ec;
  if (impl_->canTransfer()) {
    const tcp::endpoint local = impl_->socket.local_endpoint(ec);
    if (!ec) return fromUtf8(local.address().to_string());
  }
  if (!impl_->bindAddress.is_unspecified()) return fromUtf8(impl_->bindAddress.to_string());
  return fromUtf8(hostAddress().to_string());
}

void TcpSocket::setLocalIP(String address) {
  if (address.empty()) {
    impl_->bindAddress = asio::ip::address_v4::any();
    return;
  }
  asio::error_code ec;
  const asio::ip::address_v4 parsed = asio::ip::make_address_v4(toUtf8(address), ec);
  if (ec) throw events::socketError(sockerr::InvalidArgument);
  impl_->bindAddress = parsed;
}

void TcpSocket::Connect() { impl_->connect(); }

void TcpSocket::Listen() { impl_->listen(); }

String TcpSocket::RequestRemoteIP(int32_t requestID) const {
  const std::optional<tcp::endpoint> peer = impl_->loop->pendingConnections().peer(requestID);
  if (!peer) throw events::socketError(sockerr::InvalidArgument);
  return fromUtf8(peer->address().to_string());
}

void TcpSocket::Accept(int32_t requestID) { impl_->accept(requestID); }

void TcpSocket::Refuse(int32_t requestID) {
  if (!impl_->loop->pendingConnections().take(requestID)) throw events::socketError(sockerr::InvalidArgument);
}

void TcpSocket::SendData(const String& text) {
  const std::string bytes = toUtf8(text);
  impl_->send(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

void TcpSocket::SendData(std::span<const uint8_t> bytes) { impl_->send(bytes); }

void TcpSocket::setStreaming(bool streaming) { impl_->setStreaming(streaming); }

std::size_t TcpSocket::GetData(std::span<uint8_t> into) { return impl_->read(into); }

void TcpSocket::GetData(ByteArray& out, int32_t maxBytes) {
  out.resize(impl_->readLimit(maxBytes));
  out.resize(impl_->read(out));
}

void TcpSocket::GetData(String& out, int32_t maxBytes) {
  std::string& buffer = impl_->textBuffer;
  buffer.resize(impl_->readLimit(maxBytes));
  const std::size_t count = impl_->read(std::span(reinterpret_cast<uint8_t*>(buffer.data()), buffer.size()));
  out = fromUtf8(std::string_view(buffer.data(), count));
}

}  // namespace skein10

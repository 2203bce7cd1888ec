#include "platform/events/TcpSocket.h"

#include <algorithm>
#include <asio/ip/address.hpp>
#include <asio/ip/v6_only.hpp>
#include <asio/connect.hpp>
#include <asio/ip/tcp.hpp>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/events/EventLoop.h"
#include "platform/events/HostAddress.h"
#include "platform/events/LoopTarget.h"
#include "platform/events/PlainTransport.h"
#include "platform/events/SendQueue.h"
#include "platform/events/SocketError.h"
#include "platform/events/TlsTransport.h"

namespace skein10 {
namespace {

using asio::ip::tcp;

enum Kind : int32_t { kDataArrival, kClose, kConnect, kConnectionRequest, kError, kSendComplete };

// A read below this size waits for the next bytes without looking first.
constexpr std::size_t kSmallRead = 4096;

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

// A host or address text as the system reads it (an IPv6 literal without
// its brackets).
std::string hostText(const String& host) { return toUtf8(events::withoutBrackets(host)); }

void checkPort(int32_t port) {
  if (port < 0 || port > 65535) throw events::socketError(sockerr::InvalidArgument);
}

// A TLS handshake asked for before the connection is up.
struct TlsRequest {
  std::string peerName;
  TlsSession resume;
};

// Where the closing alert of a TLS connection stands.
enum class CloseNotify { None, Queued, Sent };

}  // namespace

struct TcpSocket::Impl : events::LoopTarget<TcpSocket::Impl, TcpSocket> {
  explicit Impl(TcpSocket* owner) : LoopTarget(owner) {}

  // ---- state -----------------------------------------------------------

  void require(bool allowed) const {
    if (!allowed) throw events::socketError(sockerr::BadState);
  }
  bool canTransfer() const { return state == SocketState::Connected || state == SocketState::Closing; }

  void fail(const asio::error_code& ec) {
    state = SocketState::Error;
    readPhase = ReadPhase::Done;
    events::SocketFailure failure = io().failure(ec);
    raise(kError, failure.number, std::move(failure.description));
  }

  // A connection still up ends in order (see ClosingConnections); one that
  // failed, or that Abort asked to reset, closes at once.
  void close() {
    ++generation;
    asio::error_code ignored;
    if (socket.is_open() && canTransfer()) {
      socket.cancel(ignored);
      loop->closingConnections().close(std::move(socket), streamEnd());
    }
    tls.reset();
    socket.close(ignored);
    acceptor.close(ignored);
    resolver.cancel();
    sends.clear();
    writeWaiting = false;
    closeNotify = CloseNotify::None;
    pendingTls.reset();
    streaming = false;
    state = SocketState::Closed;
    readPhase = ReadPhase::Idle;
  }

  // A TLS stream that Close ends with every piece taken still sends what
  // TLS gathered and then its closing alert (unless that has gone already):
  // the transport goes along with the connection to finish them. One whose
  // queued pieces Close drops ends without them, cut short.
  std::unique_ptr<events::SocketTransport> streamEnd() {
    const bool ending = tls && sends.empty() && closeNotify != CloseNotify::Sent &&
                        (streaming || closeNotify == CloseNotify::Queued);
    if (!ending) return nullptr;
    return std::move(tls);
  }

  // ---- the transport -----------------------------------------------------

  // Ending a stream pushes what is held back: setting the no-delay option
  // again sends the system's partial segment at once, and the record TLS
  // gathered goes as the connection takes it.
  void setStreaming(bool on) {
    streaming = on;
    asio::error_code ignored;
    if (!on && socket.is_open()) socket.set_option(tcp::no_delay(true), ignored);
    if (!on && canTransfer() && sends.empty() && !writeWaiting && closeNotify == CloseNotify::None) pushGathered();
  }

  // Sends what TLS gathered once the stream has ended; later pieces wait
  // until it has gone.
  void pushGathered() {
    if (!tls || streaming || !tls->holdsOutput()) return;
    asio::error_code ec;
    tls->push(ec);
    if (ec == asio::error::would_block) return awaitWritable(&Impl::flush);
    if (ec) fail(ec);
  }

  events::SocketTransport& io() { return tls ? static_cast<events::SocketTransport&>(*tls) : plain; }
  const events::SocketTransport& io() const {
    return tls ? static_cast<const events::SocketTransport&>(*tls) : plain;
  }

  // Waits until the connection is ready for what the transport's last
  // operation needs, then runs `f` (guarded).
  template <typename F>
  void awaitTransport(F f) {
    const auto wait = io().wait() == events::SocketTransport::Wait::Read ? tcp::socket::wait_read
                                                                          : tcp::socket::wait_write;
    socket.async_wait(wait, guard(f));
  }

  // ---- connecting --------------------------------------------------------

  void connect() {
    require(state == SocketState::Closed);
    if (remoteHost.empty() || remotePort == 0) throw events::socketError(sockerr::InvalidArgument);
    asio::error_code ec;
    const std::string host = hostText(remoteHost);
    const asio::ip::address address = asio::ip::make_address(host, ec);
    if (!ec) {
      connectTo({tcp::endpoint(address, static_cast<uint16_t>(remotePort))});
      return;
    }
    state = SocketState::ResolvingHost;
    resolver.async_resolve(host, std::to_string(remotePort), tcp::resolver::numeric_service,
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
    const tcp::endpoint& target = endpoints[nextEndpoint++];
    socket.close(ec);
    socket.open(target.protocol(), ec);
    if (!ec && localPort != 0) socket.bind(tcp::endpoint(target.protocol(), static_cast<uint16_t>(localPort)), ec);
    if (ec) return fail(ec);
    socket.async_connect(target, guard([](Impl& s, const asio::error_code& ec) {
                           if (!ec) {
                             s.connected();
                             s.ready();
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
    forgetWritabilityInterest(ec);
    socket.non_blocking(true, ec);
    socket.set_option(tcp::no_delay(true), ec);
    peer = socket.remote_endpoint(ec);
  }

  // The connect waited for writability, and Asio keeps a descriptor's
  // interest in it from then on: every later wait for readability re-arms
  // it, and as the connection is writable the thread wakes at once for
  // nothing, twice per command and reply. Handing the connected descriptor
  // to Asio anew registers it for readability only, until a write waits.
  void forgetWritabilityInterest(asio::error_code& ec) {
    const tcp::endpoint local = socket.local_endpoint(ec);
    if (ec) return;
    const tcp::socket::native_handle_type descriptor = socket.release(ec);
    if (ec) return;
    socket.assign(local.protocol(), descriptor, ec);
    if (ec) ::close(descriptor);  // the connection is lost; its next wait reports it
  }

  // The TCP connection is up: it is ready now, or once TLS is.
  void ready() {
    if (!pendingTls) {
      raise(kConnect);
      return checkReadable();
    }
    TlsRequest request = std::move(*pendingTls);
    pendingTls.reset();
    startTls(request);
  }

  // ---- TLS ---------------------------------------------------------------

  void startTls(const TlsRequest& request) {
    state = SocketState::Connecting;
    readPhase = ReadPhase::Idle;
    ++readWait;  // a wait for plain bytes is over
    tls = std::make_unique<events::TlsTransport>(socket, request.peerName, request.resume);
    handshake();
  }

  void handshake() {
    asio::error_code ec;
    tls->handshake(ec);
    if (ec == asio::error::would_block) {
      return awaitTransport([](Impl& s, const asio::error_code& ec) {
        if (ec) return s.fail(ec);
        s.handshake();
      });
    }
    if (ec) return fail(ec);
    state = SocketState::Connected;
    raise(kConnect);
    checkReadable();
  }

  // ---- listening ---------------------------------------------------------

  void listen() {
    require(state == SocketState::Closed);
    asio::error_code ec;
    const tcp::endpoint local(bindAddress, static_cast<uint16_t>(localPort));
    acceptor.open(local.protocol(), ec);
    if (!ec) acceptor.set_option(tcp::acceptor::reuse_address(true), ec);
    if (!ec && bindAddress.is_v6()) acceptor.set_option(asio::ip::v6_only(true), ec);
    if (!ec) acceptor.bind(local, ec);
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
  void checkReadable() {
    asio::error_code ec;
    io().poll(ec);
    settle(ec);
  }

  // Acts on what a look at the connection found.
  void settle(const asio::error_code& ec) {
    if (!ec) {
      readPhase = ReadPhase::Queued;
      raise(kDataArrival);
    } else if (ec == asio::error::would_block) {
      awaitReadable();
    } else if (ec == asio::error::eof) {
      state = SocketState::Closing;
      readPhase = ReadPhase::Done;
      raise(kClose);
    } else {
      fail(ec);
    }
  }

  // A wait that ends announces an arrival at once, without looking: the
  // count, or the close or failure it really was, is found at delivery. A
  // wait ends at once when the connection is readable already, so nothing
  // that came before it is missed.
  void awaitReadable() {
    readPhase = ReadPhase::Waiting;
    awaitTransport([wait = ++readWait](Impl& s, const asio::error_code& ec) {
      if (wait != s.readWait) return;
      if (ec) return s.fail(ec);
      s.readPhase = ReadPhase::Queued;
      s.raise(kDataArrival);
    });
  }

  // The count is taken at delivery, so it is exact even when the caller
  // read some bytes before the event came.
  void deliverArrival() {
    if (readPhase != ReadPhase::Queued || !canTransfer()) return;
    asio::error_code ec;
    const std::size_t count = io().poll(ec);
    if (ec) return settle(ec);
    if (count == 0) return checkReadable();
    readPhase = ReadPhase::Delivered;
    if (owner->onDataArrival) owner->onDataArrival(static_cast<int32_t>(std::min<std::size_t>(count, kMaxArrival)));
  }

  std::size_t read(std::span<uint8_t> into) {
    require(canTransfer() || state == SocketState::Error);
    if (state == SocketState::Error || into.empty()) return 0;
    asio::error_code ec;
    const std::size_t count = io().read(into, ec);
    if (ec && ec != asio::error::would_block && ec != asio::error::eof) {
      fail(ec);
      return 0;
    }
    if (readPhase == ReadPhase::Delivered) lookAgain(count, ec);
    return count;
  }

  // After the read that an arrival asked for. A small one took what a reply
  // or a short message brought, and nothing more is likely there yet: it
  // waits straight away, which saves looking at an empty connection (two
  // system calls per reply). After a large one, on a stream, more is likely
  // there already: it looks first, which saves a wait.
  void lookAgain(std::size_t count, const asio::error_code& ec) {
    if (!ec && count < kSmallRead && !io().holdsBytes()) return awaitReadable();
    checkReadable();
  }

  // What a read of at most maxBytes may take; 0 or less means all there is.
  std::size_t readLimit(int32_t maxBytes) {
    if (maxBytes > 0) return static_cast<std::size_t>(maxBytes);
    if (!canTransfer()) return 0;
    asio::error_code ec;
    return std::min<std::size_t>(io().poll(ec), kMaxArrival);
  }

  // ---- sending -----------------------------------------------------------
  //
  // The transport's retry rule holds here: after a write that would block,
  // the next write offers the same remaining bytes again, first (a TLS
  // record OpenSSL has begun holds part of them). A piece's remainder is
  // queued, and the queue offers its first piece's remainder until the
  // connection has taken it; nothing is written past it meanwhile.

  // A piece goes straight to the connection when nothing is queued before
  // it; only what it does not take at once is copied and queued.
  void send(std::span<const uint8_t> bytes) {
    require(canTransfer() && closeNotify == CloseNotify::None);
    if (sends.empty()) {
      asio::error_code ec;
      bytes = bytes.subspan(writeSome(bytes, ec));
      if (ec && ec != asio::error::would_block) return fail(ec);
      if (bytes.empty()) return raise(kSendComplete);
    }
    sends.push(bytes);
    if (!writeWaiting) awaitWritable(&Impl::flush);
  }

  // Writes until everything has gone or the connection takes no more
  // (would_block) or fails; the count written. A stream's pieces go marked
  // as more to come.
  std::size_t writeSome(std::span<const uint8_t> bytes, asio::error_code& ec) {
    std::size_t written = 0;
    do {
      written += io().write(bytes.subspan(written), streaming, ec);
    } while (!ec && written < bytes.size());
    return written;
  }

  // Waits until the connection takes more, then goes on with `next`; one
  // such wait at a time.
  void awaitWritable(void (Impl::*next)()) {
    writeWaiting = true;
    awaitTransport([next](Impl& s, const asio::error_code& ec) {
      s.writeWaiting = false;
      if (ec) return s.fail(ec);
      (s.*next)();
    });
  }

  // Hands queued pieces to the connection, in order, until it takes no more;
  // each finished piece raises SendComplete. What TLS gathered after a
  // stream, or the closing alert, goes last.
  void flush() {
    while (!sends.empty()) {
      asio::error_code ec;
      const bool finished = sends.consume(writeSome(sends.front(), ec));
      if (finished) raise(kSendComplete);
      if (ec == asio::error::would_block) return awaitWritable(&Impl::flush);
      if (ec) return fail(ec);
    }
    if (closeNotify == CloseNotify::Queued) return sendCloseNotify();
    pushGathered();
  }

  void endTls() {
    require(canTransfer() && closeNotify == CloseNotify::None);
    closeNotify = CloseNotify::Queued;
    if (sends.empty()) sendCloseNotify();
  }

  void sendCloseNotify() {
    if (!tls) {
      closeNotify = CloseNotify::Sent;
      return raise(kSendComplete);
    }
    asio::error_code ec;
    tls->finish(ec);
    if (ec == asio::error::would_block) return awaitWritable(&Impl::sendCloseNotify);
    if (ec) return fail(ec);
    closeNotify = CloseNotify::Sent;
    raise(kSendComplete);
  }

  // ---- events ------------------------------------------------------------

  void handle(const events::LoopEvent& event) {
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

  tcp::socket socket{loop->context()};
  tcp::acceptor acceptor{loop->context()};
  tcp::resolver resolver{loop->context()};
  events::PlainTransport plain{socket};
  std::unique_ptr<events::TlsTransport> tls;  // while the connection runs TLS
  events::SendQueue sends;
  bool writeWaiting = false;  // a wait for the connection to take more is pending
  bool streaming = false;     // an upload stream: pieces go marked as more to come
  std::optional<TlsRequest> pendingTls;       // TLS to start once Connect's TCP connection is up
  CloseNotify closeNotify = CloseNotify::None;
  std::vector<tcp::endpoint> endpoints;
  std::size_t nextEndpoint = 0;
  tcp::endpoint peer;
  SocketState state = SocketState::Closed;
  ReadPhase readPhase = ReadPhase::Idle;
  uint32_t readWait = 0;  // the read wait that may still act
  String remoteHost;
  int32_t remotePort = 0;
  int32_t localPort = 0;
  asio::ip::address bindAddress = asio::ip::address_v4::any();
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
  if (impl_->socket.is_open()) {
    impl_->socket.set_option(asio::socket_base::linger(true, 0), ignored);
    impl_->socket.close(ignored);
  }
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
  return events::hostAddress(impl_->bindAddress.is_v6());
}

void TcpSocket::setLocalIP(String address) {
  if (address.empty()) {
    impl_->bindAddress = asio::ip::address_v4::any();
    return;
  }
  asio::error_code ec;
  const asio::ip::address parsed = asio::ip::make_address(hostText(address), ec);
  if (ec) throw events::socketError(sockerr::InvalidArgument);
  impl_->bindAddress = parsed;
}

void TcpSocket::Connect() { impl_->connect(); }

void TcpSocket::ConnectTls(const String& peerName, const TlsSession& resume) {
  if (peerName.empty()) throw events::socketError(sockerr::InvalidArgument);
  impl_->connect();
  impl_->pendingTls = TlsRequest{hostText(peerName), resume};
}

void TcpSocket::StartTls(const String& peerName, const TlsSession& resume) {
  impl_->require(impl_->state == SocketState::Connected && !impl_->tls && impl_->sends.empty());
  if (peerName.empty()) throw events::socketError(sockerr::InvalidArgument);
  impl_->startTls(TlsRequest{hostText(peerName), resume});
}

bool TcpSocket::IsTls() const { return impl_->tls != nullptr; }

TlsSession TcpSocket::Session() const { return impl_->tls ? impl_->tls->session() : TlsSession(); }

bool TcpSocket::SessionReused() const { return impl_->tls && impl_->tls->sessionReused(); }

bool TcpSocket::EndedWithoutCloseNotify() const { return impl_->tls && impl_->tls->endedWithoutCloseNotify(); }

void TcpSocket::SendCloseNotify() { impl_->endTls(); }

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

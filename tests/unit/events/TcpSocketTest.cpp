#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <asio/error.hpp>
#include <asio/ip/address_v4.hpp>

#include <cstring>
#include <functional>
#include <memory>
#include <numeric>
#include <thread>

#include "SocketProbe.h"
#include "TestFiles.h"
#include "platform/events/EventLoop.h"
#include "platform/events/SocketError.h"
#include "platform/events/SocketTransport.h"
#include "skein10/Error.h"
#include "TestSocket.h"

namespace skein10 {
namespace {

using test::LoopbackPair;
using test::SocketProbe;
using test::asBytes;
using test::waitFor;

// A port on 127.0.0.1 that nothing listens on.
int32_t unusedPort() {
  TcpSocket probe;
  probe.setLocalIP(u"127.0.0.1");
  probe.Listen();
  const int32_t port = probe.LocalPort();
  probe.Close();
  return port;
}

// Runs `test` on a thread of its own, whose loop no earlier test has used:
// what it counts in the loop is its own.
void onFreshThread(const std::function<void()>& test) { std::thread(test).join(); }

// Connections closed on this thread that still wait for their peer's end.
std::size_t closing() { return events::EventLoop::current()->closingConnections().size(); }

// A client socket connected to a plain blocking peer of the test's own;
// `prepare` may set options on the peer's listener first.
struct ClientAndPeer {
  explicit ClientAndPeer(const std::function<void(int listenerDescriptor)>& prepare = {}) {
    if (prepare) prepare(listener.fd());
    client.setRemoteHost(u"127.0.0.1");
    client.setRemotePort(listener.localPort());
    client.Connect();
    peer = listener.accept(std::chrono::seconds(10));
    EXPECT_TRUE(waitFor([&] { return probe.saw("connect"); }));
  }
  test::TestSocket listener = test::TestSocket::listen("127.0.0.1");
  TcpSocket client;
  SocketProbe probe{client};
  test::TestSocket peer;
};

double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

TEST(TcpSocket, ExchangesTextAndBytesBothWays) {
  LoopbackPair pair;
  EXPECT_EQ(pair.client.State(), SocketState::Connected);
  EXPECT_EQ(pair.server.State(), SocketState::Connected);
  EXPECT_EQ(pair.server.RemoteHostIP(), u"127.0.0.1");
  EXPECT_EQ(pair.client.RemoteHostIP(), u"127.0.0.1");
  EXPECT_EQ(pair.client.LocalIP(), u"127.0.0.1");
  EXPECT_EQ(pair.listener.LocalIP(), u"127.0.0.1");
  EXPECT_EQ(pair.server.LocalPort(), pair.client.RemotePort());

  // Text as a command line, read back as text (UTF-8 on the wire).
  String reply;
  pair.server.onDataArrival = [&](int32_t total) {
    String piece;
    pair.server.GetData(piece, total);
    reply += piece;
  };
  pair.client.SendData(String(u"NOOP \u00e9t\u00e9\r\n"));
  ASSERT_TRUE(waitFor([&] { return reply.size() == 10; }));
  EXPECT_EQ(reply, u"NOOP \u00e9t\u00e9\r\n");

  // Every byte value the other way.
  std::vector<uint8_t> all(256);
  std::iota(all.begin(), all.end(), 0);
  pair.server.SendData(all);
  ASSERT_TRUE(waitFor([&] { return pair.clientProbe.received.size() == 256; }));
  EXPECT_EQ(std::vector<uint8_t>(pair.clientProbe.received.begin(), pair.clientProbe.received.end()), all);
  EXPECT_EQ(pair.serverProbe.sendsComplete, 1);
  EXPECT_EQ(pair.clientProbe.sendsComplete, 1);
}

TEST(TcpSocket, RefusedConnectionRaisesErrorNotConnect) {
  TcpSocket socket;
  SocketProbe probe(socket);
  socket.setRemoteHost(u"127.0.0.1");
  socket.setRemotePort(unusedPort());
  socket.Connect();
  EXPECT_EQ(socket.State(), SocketState::Connecting);
  ASSERT_TRUE(waitFor([&] { return !probe.log.empty(); }));
  EXPECT_THAT(probe.log, ::testing::ElementsAre("error 10061"));
  EXPECT_EQ(probe.errorText, u"Connection is forcefully rejected");
  EXPECT_EQ(socket.State(), SocketState::Error);
  EXPECT_THROW(socket.SendData(String(u"x")), Error);
  socket.Close();
  EXPECT_EQ(socket.State(), SocketState::Closed);
}

TEST(TcpSocket, HostNamesResolveToIPv4) {
  TcpSocket listener;
  SocketProbe listenerProbe(listener);
  listener.Listen();  // all addresses
  TcpSocket client;
  SocketProbe clientProbe(client);
  client.setRemoteHost(u"localhost");
  client.setRemotePort(listener.LocalPort());
  client.Connect();
  EXPECT_EQ(client.State(), SocketState::ResolvingHost);
  ASSERT_TRUE(waitFor([&] { return !clientProbe.log.empty(); }));
  EXPECT_THAT(clientProbe.log, ::testing::ElementsAre("connect"));
  EXPECT_EQ(client.RemoteHostIP(), u"127.0.0.1");
}

TEST(TcpSocket, PeerCloseRaisesCloseAfterTheDataAndLocalCloseRaisesNothing) {
  LoopbackPair pair;
  pair.server.SendData(asBytes("last words"));
  pair.server.Close();
  EXPECT_EQ(pair.server.State(), SocketState::Closed);
  ASSERT_TRUE(waitFor([&] { return pair.clientProbe.saw("close"); }));
  EXPECT_EQ(pair.clientProbe.received, "last words");
  EXPECT_EQ(pair.client.State(), SocketState::Closing);

  pair.client.Close();
  DoEvents();
  EXPECT_THAT(pair.clientProbe.log, ::testing::ElementsAre("connect", "close"));
  // The server's own Close dropped its pending SendComplete too.
  EXPECT_TRUE(pair.serverProbe.log.empty());
  EXPECT_EQ(pair.serverProbe.sendsComplete, 0);
}

TEST(TcpSocket, ListenerCanBeClosedAndThenAcceptTheRequestItself) {
  TcpSocket data;
  SocketProbe dataProbe(data);
  data.setLocalPort(0);
  data.Listen();
  EXPECT_EQ(data.State(), SocketState::Listening);
  const int32_t port = data.LocalPort();
  EXPECT_GT(port, 0);

  TcpSocket peer;
  SocketProbe peerProbe(peer);
  peer.setRemoteHost(u"127.0.0.1");
  peer.setRemotePort(port);
  peer.Connect();
  ASSERT_TRUE(waitFor([&] { return dataProbe.lastRequest != 0; }));
  EXPECT_EQ(data.RequestRemoteIP(dataProbe.lastRequest), u"127.0.0.1");
  asio::error_code ec;
  asio::ip::make_address_v4(toUtf8(data.LocalIP()), ec);  // listening on all: still an address
  EXPECT_FALSE(ec) << toUtf8(data.LocalIP());

  // The order a data connection uses: reset the listener, then Accept.
  data.Close();
  data.Accept(dataProbe.lastRequest);
  EXPECT_EQ(data.State(), SocketState::Connected);
  EXPECT_EQ(data.LocalPort(), port);
  data.SendData(asBytes("150 ok"));
  ASSERT_TRUE(waitFor([&] { return peerProbe.received == "150 ok"; }));
  peer.SendData(asBytes("upload"));
  ASSERT_TRUE(waitFor([&] { return dataProbe.received == "upload"; }));
  EXPECT_THROW(data.Accept(dataProbe.lastRequest), Error);  // no longer pending
}

// A request ends when it is refused, or when its listener is destroyed
// (closing the listener alone keeps it, see above).
TEST(TcpSocket, RefusedOrOrphanedRequestClosesThePeer) {
  auto listener = std::make_unique<TcpSocket>();
  SocketProbe listenerProbe(*listener);
  listener->Listen();
  TcpSocket refused, orphaned;
  SocketProbe refusedProbe(refused), orphanedProbe(orphaned);
  int32_t ids[2] = {};
  for (int i = 0; i < 2; ++i) {
    TcpSocket& peer = i == 0 ? refused : orphaned;
    peer.setRemoteHost(u"127.0.0.1");
    peer.setRemotePort(listener->LocalPort());
    peer.Connect();
    ASSERT_TRUE(waitFor([&] { return listenerProbe.lastRequest != (i == 0 ? 0 : ids[0]); }));
    ids[i] = listenerProbe.lastRequest;
  }
  const int32_t second = ids[1];
  listener->Refuse(ids[0]);
  EXPECT_THROW(listener->RequestRemoteIP(ids[0]), Error);
  ASSERT_TRUE(waitFor([&] { return refusedProbe.saw("close"); }));
  EXPECT_FALSE(orphanedProbe.saw("close"));

  listener->Close();
  EXPECT_EQ(listener->RequestRemoteIP(second), u"127.0.0.1");
  listener.reset();
  ASSERT_TRUE(waitFor([&] { return orphanedProbe.saw("close"); }));
  TcpSocket other;
  EXPECT_THROW(other.Accept(second), Error);
}

TEST(TcpSocket, ManyPiecesArriveInOrderWithOneSendCompleteEach) {
  LoopbackPair pair;
  // Small pieces, and large ones the kernel can't take at once, mixed.
  std::string expected;
  constexpr int kPieces = 400;
  for (int i = 0; i < kPieces; ++i) {
    const std::size_t size = i % 50 == 7 ? (1u << 20) + i : 1 + i % 97;
    std::string piece(size, static_cast<char>('a' + i % 26));
    piece += std::to_string(i);
    expected += piece;
    pair.client.SendData(asBytes(piece));
  }
  ASSERT_TRUE(waitFor([&] { return pair.serverProbe.received.size() >= expected.size(); }, 60));
  ASSERT_TRUE(waitFor([&] { return pair.clientProbe.sendsComplete == kPieces; }));
  EXPECT_TRUE(pair.serverProbe.received == expected);
  DoEvents();
  EXPECT_EQ(pair.clientProbe.sendsComplete, kPieces);
}

// An upload's pattern: one piece at a time, each after the last one's
// SendComplete, marked as more to come. What the system holds back goes out
// when streaming ends or at Close, and nothing is lost or reordered.
TEST(TcpSocket, StreamedPiecesArriveWholeWhenStreamingEndsOrAtClose) {
  for (const bool endByClose : {false, true}) {
    SCOPED_TRACE(endByClose ? "ended by Close" : "ended by setStreaming(false)");
    LoopbackPair pair;
    pair.client.setStreaming(true);
    std::string expected;
    for (int i = 0; i < 300; ++i) {
      const std::string piece(i % 7 == 3 ? 3072 : 1 + i % 50, static_cast<char>('a' + i % 26));
      expected += piece;
      const int before = pair.clientProbe.sendsComplete;
      pair.client.SendData(asBytes(piece));
      ASSERT_TRUE(waitFor([&] { return pair.clientProbe.sendsComplete == before + 1; }));
    }
    if (endByClose) {
      pair.client.Close();
    } else {
      pair.client.setStreaming(false);
    }
    ASSERT_TRUE(waitFor([&] { return pair.serverProbe.received.size() >= expected.size(); }));
    EXPECT_TRUE(pair.serverProbe.received == expected);
    if (endByClose) {
      EXPECT_TRUE(waitFor([&] { return pair.serverProbe.saw("close"); }));
    }
  }
}

// Close ends the connection in order even while most of what was sent still
// waits for the peer's window and the peer then sends something of its own
// (a TLS server's late session ticket, say): every byte sent before Close
// reaches the peer, followed by an orderly end, never cut off by a reset.
TEST(TcpSocket, CloseDeliversEverythingSentWhenThePeerWritesAfterIt) {
  onFreshThread([] {
    using namespace std::chrono_literals;
    // A small window, in segments small enough that it still opens at once
    // when the peer reads (loopback's own segments are larger than it).
    ClientAndPeer pair([](int listener) {
      const int smallWindow = 4096;
      const int smallSegment = 1024;
      ASSERT_EQ(setsockopt(listener, SOL_SOCKET, SO_RCVBUF, &smallWindow, sizeof smallWindow), 0);
      ASSERT_EQ(setsockopt(listener, IPPROTO_TCP, TCP_MAXSEG, &smallSegment, sizeof smallSegment), 0);
    });
    TcpSocket& client = pair.client;
    SocketProbe& probe = pair.probe;
    test::TestSocket& peer = pair.peer;
    std::string sent;
    for (int i = 0; i < 6; ++i) {
      const std::string piece(2048, static_cast<char>('a' + i));
      sent += piece;
      const int before = probe.sendsComplete;
      client.SendData(asBytes(piece));
      ASSERT_TRUE(waitFor([&] { return probe.sendsComplete == before + 1; }));
    }
    client.Close();
    peer.send("late");
    EXPECT_TRUE(peer.receiveAll(10s) == sent);
    EXPECT_FALSE(peer.wasReset());
    // The descriptor goes once the peer has ended its side too.
    EXPECT_EQ(closing(), 1u);
    peer.close();
    EXPECT_TRUE(waitFor([] { return closing() == 0; }, 5));
  });
}

// A peer that goes on sending after Close is read only up to a bound; then
// the connection is reset, so neither the thread nor the descriptor is held
// for long.
TEST(TcpSocket, AClosedConnectionWhosePeerStreamsOnIsResetAfterABound) {
  onFreshThread([] {
    ClientAndPeer pair;
    test::TestSocket& peer = pair.peer;
    pair.client.Close();

    std::size_t streamed = 0;
    std::thread streamer([&] {
      const std::string chunk(65536, 's');
      try {
        for (; streamed < (64u << 20); streamed += chunk.size()) peer.send(chunk);
      } catch (const std::exception&) {  // the reset
      }
    });
    EXPECT_TRUE(waitFor([] { return closing() == 0; }, 30));
    streamer.join();
    EXPECT_LT(streamed, 64u << 20) << "the peer could send on without end";
  });
}

// A transport whose rest (as TLS's gathered record and closing alert) finds
// no room on its first try: the closing connection sends it once the
// connection takes more, and only then ends its side.
TEST(TcpSocket, AClosedConnectionSendsItsTransportsRestBeforeItsEnd) {
  class RestOnSecondTry final : public events::SocketTransport {
   public:
    explicit RestOnSecondTry(int descriptor) : descriptor_(descriptor) {}
    std::size_t poll(asio::error_code& ec) override { return ec = asio::error::would_block, 0; }
    std::size_t read(std::span<uint8_t>, asio::error_code& ec) override { return poll(ec); }
    std::size_t write(std::span<const uint8_t>, bool, asio::error_code& ec) override { return poll(ec); }
    void finish(asio::error_code& ec) override {
      ec.clear();
      wait_ = Wait::Write;
      if (++tries_ == 1) ec = asio::error::would_block;
      else ::send(descriptor_, "rest", 4, MSG_NOSIGNAL);
    }

   private:
    int descriptor_;
    int tries_ = 0;
  };
  onFreshThread([] {
    test::TestSocket listener = test::TestSocket::listen("127.0.0.1");
    asio::ip::tcp::socket connection(events::EventLoop::current()->context());
    connection.connect({asio::ip::address_v4::loopback(), static_cast<uint16_t>(listener.localPort())});
    test::TestSocket peer = listener.accept(std::chrono::seconds(10));
    const int descriptor = connection.native_handle();
    events::EventLoop::current()->closingConnections().close(std::move(connection),
                                                             std::make_unique<RestOnSecondTry>(descriptor));
    std::string received;
    std::thread reader([&] {
      received = peer.receiveAll(std::chrono::seconds(10));
      peer.close();
    });
    EXPECT_TRUE(waitFor([] { return closing() == 0; }, 20));
    reader.join();
    EXPECT_EQ(received, "rest");
  });
}

// Peers that never end their side can't make closed connections pile up: at
// most kMaxClosing of a thread wait for their peer, and each close past that
// resets the oldest one.
TEST(TcpSocket, ClosedConnectionsWaitingForTheirPeerAreBoundedOldestResetFirst) {
  onFreshThread([] {
    constexpr std::size_t kBound = events::ClosingConnections::kMaxClosing;
    constexpr std::size_t kConnections = kBound + 5;
    std::vector<std::unique_ptr<ClientAndPeer>> pairs;
    for (std::size_t i = 0; i < kConnections; ++i) {
      pairs.push_back(std::make_unique<ClientAndPeer>());
      pairs.back()->client.Close();
      EXPECT_EQ(closing(), std::min(i + 1, kBound));
    }
    // The oldest were reset, the newest still wait, having ended in order.
    const auto pendingError = [](int descriptor) {
      int error = 0;
      socklen_t size = sizeof error;
      getsockopt(descriptor, SOL_SOCKET, SO_ERROR, &error, &size);
      return error;
    };
    for (std::size_t i = 0; i < kConnections; ++i) {
      const bool reset = i < kConnections - kBound;
      int error = pendingError(pairs[i]->peer.fd());
      for (int tries = 0; reset && error == 0 && tries < 200; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        error = pendingError(pairs[i]->peer.fd());
      }
      // The reset comes after the connection's end: EPIPE rather than ECONNRESET.
      EXPECT_EQ(error != 0, reset) << i << ": " << std::strerror(error);
    }
  });
}

TEST(TcpSocket, EventsArriveOnlyWhileTheThreadPumps) {
  LoopbackPair pair;
  pair.client.SendData(asBytes("ping"));
  pair.server.SendData(asBytes("pong"));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(pair.serverProbe.arrivals + pair.clientProbe.arrivals + pair.clientProbe.sendsComplete, 0);
  ASSERT_TRUE(waitFor([&] { return pair.serverProbe.received == "ping" && pair.clientProbe.received == "pong"; }));
}

// A handler that does not read gets one DataArrival, however much follows;
// reading part of the data announces the rest.
TEST(TcpSocket, AnnouncesAgainOnlyAfterGetData) {
  LoopbackPair pair;
  std::vector<int32_t> totals;
  pair.server.onDataArrival = [&](int32_t total) { totals.push_back(total); };
  pair.client.SendData(asBytes("12345"));
  ASSERT_TRUE(waitFor([&] { return !totals.empty(); }));
  pair.client.SendData(asBytes("678"));
  waitFor([] { return false; }, 1);
  ASSERT_EQ(totals.size(), 1u);

  uint8_t two[2];
  EXPECT_EQ(pair.server.GetData(two), 2u);
  ASSERT_TRUE(waitFor([&] { return totals.size() == 2; }));
  EXPECT_EQ(totals[1], 6);
}

TEST(TcpSocket, MembersOutOfStateThrowAtOnce) {
  LoopbackPair pair;
  TcpSocket closed;
  TcpSocket listening;
  listening.Listen();
  ByteArray bytes;
  struct Case {
    const char* what;
    std::function<void()> call;
    int32_t number;
  } cases[] = {
      {"send on a closed socket", [&] { closed.SendData(String(u"x")); }, sockerr::BadState},
      {"send on a listener", [&] { listening.SendData(String(u"x")); }, sockerr::BadState},
      {"read on a closed socket", [&] { closed.GetData(bytes, 10); }, sockerr::BadState},
      {"listen on a connected socket", [&] { pair.client.Listen(); }, sockerr::BadState},
      {"connect on a listener", [&] { listening.Connect(); }, sockerr::BadState},
      {"accept on a connected socket", [&] { pair.client.Accept(1); }, sockerr::BadState},
      {"accept of an unknown request", [&] { closed.Accept(987654); }, sockerr::InvalidArgument},
      {"connect without a host", [&] { closed.Connect(); }, sockerr::InvalidArgument},
      {"port out of range", [&] { closed.setRemotePort(65536); }, sockerr::InvalidArgument},
      {"local address not IPv4", [&] { closed.setLocalIP(u"local"); }, sockerr::InvalidArgument},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      c.call();
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), c.number);
      EXPECT_EQ(e.source(), u"TcpSocket");
      EXPECT_FALSE(e.description().empty());
    }
  }
  EXPECT_EQ(closed.State(), SocketState::Closed);
  EXPECT_EQ(listening.State(), SocketState::Listening);
  EXPECT_EQ(pair.client.State(), SocketState::Connected);
}

TEST(TcpSocket, ListenOnAPortInUseThrows) {
  TcpSocket first;
  first.setLocalIP(u"127.0.0.1");
  first.Listen();
  TcpSocket second;
  second.setLocalIP(u"127.0.0.1");
  second.setLocalPort(first.LocalPort());
  try {
    second.Listen();
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), sockerr::AddressInUse);
    EXPECT_EQ(e.description(), u"Address in use");
  }
  EXPECT_EQ(second.State(), SocketState::Closed);
}

TEST(TcpSocket, SystemFailuresMapToSocketErrors) {
  struct Case {
    asio::error_code code;
    int32_t number;
    const char16_t* text;
  } cases[] = {
      {asio::error::connection_refused, 10061, u"Connection is forcefully rejected"},
      {asio::error::timed_out, 10060, u"Connection timed out"},
      {asio::error::host_not_found, 11001, u"Authoritative answer: Host not found"},
      {asio::error::address_in_use, 10048, u"Address in use"},
      {asio::error::connection_reset, 10054, u"The connection is reset by remote side"},
      {asio::error::broken_pipe, 10054, u"The connection is reset by remote side"},
  };
  for (const Case& c : cases) {
    const events::SocketFailure failure = events::socketFailure(c.code);
    EXPECT_EQ(failure.number, c.number) << c.code.message();
    EXPECT_EQ(failure.description, c.text);
  }
  // Anything else still has a number and the system's own words.
  const events::SocketFailure other = events::socketFailure(asio::error::message_size);
  EXPECT_EQ(other.number, sockerr::ConnectionAborted);
  EXPECT_FALSE(other.description.empty());
}

TEST(TcpSocket, DestroyingASocketWithEventsPendingIsSafe) {
  auto pair = std::make_unique<LoopbackPair>();
  pair->client.SendData(asBytes("unread"));
  pair->server.SendData(asBytes("unread"));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  bool ran = false;
  post([&] { pair.reset(); });  // runs before the completions are delivered
  post([&] { ran = true; });
  ASSERT_TRUE(waitFor([&] { return ran; }));
  waitFor([] { return false; }, 1);
}

TEST(TcpSocket, ThreadsNeverSeeEachOthersEvents) {
  // Each thread runs its own connection; every handler must run on the
  // thread that made the socket, and each sees only its own bytes.
  auto run = [](const std::string& payload, std::string* received, bool* foreign) {
    LoopbackPair pair;
    const auto self = std::this_thread::get_id();
    pair.server.onDataArrival = [&](int32_t total) {
      *foreign |= std::this_thread::get_id() != self;
      ByteArray bytes;
      pair.server.GetData(bytes, total);
      received->append(bytes.begin(), bytes.end());
    };
    for (int i = 0; i < 50; ++i) pair.client.SendData(asBytes(payload));
    waitFor([&] { return received->size() >= payload.size() * 50; });
  };
  std::string receivedA, receivedB;
  bool foreignA = false, foreignB = false;
  std::thread a(run, std::string(1000, 'A'), &receivedA, &foreignA);
  std::thread b(run, std::string(1000, 'B'), &receivedB, &foreignB);
  a.join();
  b.join();
  EXPECT_EQ(receivedA, std::string(50000, 'A'));
  EXPECT_EQ(receivedB, std::string(50000, 'B'));
  EXPECT_FALSE(foreignA || foreignB);
}

TEST(TcpSocket, AWaitOnASilentSocketUsesAlmostNoCpu) {
  LoopbackPair pair;
  const double cpuBefore = cpuSeconds();
  const auto wallBefore = Clock::now();
  EXPECT_FALSE(waitFor([&] { return !pair.serverProbe.received.empty(); }, 2));
  EXPECT_GE(Clock::now() - wallBefore, std::chrono::seconds(2));
  EXPECT_LT(cpuSeconds() - cpuBefore, 0.5);
}

}  // namespace
}  // namespace skein10

// TLS and IPv6 on the socket, against a TLS server on loopback that uses
// certificates the test made.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>

#include "SocketProbe.h"
#include "TestFiles.h"
#include "TestCertificates.h"
#include "TlsServerStream.h"
#include "TlsTestServer.h"
#include "skein10/Error.h"

namespace skein10 {
namespace {

using test::TestCertificates;
using test::TlsTestServer;
using test::SocketProbe;
using test::asBytes;
using test::waitFor;

TlsTestServer::Options serverFor(std::filesystem::path certificate) {
  TlsTestServer::Options options;
  options.certificate = std::move(certificate);
  return options;
}

// A client socket with a probe that counts Connect events.
struct Client {
  explicit Client(const std::string& ip, int port) {
    socket.setRemoteHost(fromUtf8(ip));
    socket.setRemotePort(port);
  }
  int connects() const {
    return static_cast<int>(std::count(probe.log.begin(), probe.log.end(), "connect"));
  }
  TcpSocket socket;
  SocketProbe probe{socket};
};

// A plain connection that turns to TLS (as after AUTH TLS): the handshake
// hides behind Connecting and a second Connect, data goes both ways, and the
// closing alert follows the last piece.
TEST(TlsSocket, StartsTlsOnAConnectionThenEndsWithTheClosingAlert) {
  TestCertificates::shared();
  TlsTestServer::Options options = serverFor(TestCertificates::shared().server());
  options.greeting = "220 secure";
  TlsTestServer server(options);
  Client client("127.0.0.1", server.port());
  client.socket.Connect();
  ASSERT_TRUE(waitFor([&] { return client.connects() == 1; }));
  EXPECT_FALSE(client.socket.IsTls());

  client.socket.StartTls(u"127.0.0.1");
  ASSERT_TRUE(waitFor([&] { return client.connects() == 2; }));
  EXPECT_TRUE(client.socket.IsTls());
  EXPECT_FALSE(client.socket.SessionReused());
  ASSERT_TRUE(waitFor([&] { return client.probe.received == "220 secure"; }));

  // Pieces large and small; each has its SendComplete, the alert one more.
  std::string sent;
  constexpr int kPieces = 12;
  for (int i = 0; i < kPieces; ++i) {
    std::string piece(i % 3 == 0 ? 700000 + i : 3072, static_cast<char>('a' + i));
    sent += piece;
    client.socket.SendData(asBytes(piece));
  }
  client.socket.SendCloseNotify();
  EXPECT_THROW(client.socket.SendData(String(u"late")), Error);
  ASSERT_TRUE(waitFor([&] { return client.probe.sendsComplete == kPieces + 1; }, 60))
      << client.probe.sendsComplete;
  client.socket.Close();

  const std::vector<TlsTestServer::Connection> seen = server.finish();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_TRUE(seen[0].handshake);
  EXPECT_EQ(seen[0].version, "TLSv1.3");
  EXPECT_TRUE(seen[0].received == sent) << seen[0].received.size() << " of " << sent.size();
  EXPECT_TRUE(seen[0].closeNotify);
  EXPECT_EQ(client.connects(), 2);
  EXPECT_FALSE(client.probe.saw("error " + std::to_string(sockerr::SecureChannel))) << toUtf8(client.probe.errorText);
}

// An upload's pattern over TLS: 3072-byte pieces, one at a time, each sent
// after the last one's SendComplete. TLS gathers them into full records, yet
// each piece has its one SendComplete as soon as it was taken. Close, like
// SendCloseNotify, sends the gathered rest and then the closing alert; so
// does the end of streaming, before the next piece; Abort sends nothing
// more, so the server never sees the stream end well.
TEST(TlsSocket, AStreamLeavesInFullRecordsAndItsEndDecidesTheRest) {
  enum class End { CloseNotify, Close, StreamingOff, Abort };
  constexpr int kPieces = 40;  // 7 full records and half of one
  constexpr std::size_t kPiece = 3072, kRecord = 16384, kOverhead = 17, kAlert = 19;
  constexpr std::size_t kFullRecords = kPieces * kPiece / kRecord;
  for (const End end : {End::CloseNotify, End::Close, End::StreamingOff, End::Abort}) {
    SCOPED_TRACE(static_cast<int>(end));
    TlsTestServer server(serverFor(TestCertificates::shared().server()));
    Client client("127.0.0.1", server.port());
    client.socket.ConnectTls(u"127.0.0.1");
    ASSERT_TRUE(waitFor([&] { return client.connects() == 1; }));
    client.socket.setStreaming(true);
    std::string sent;
    for (int i = 0; i < kPieces; ++i) {
      const std::string piece(kPiece, static_cast<char>('a' + i % 26));
      sent += piece;
      client.socket.SendData(asBytes(piece));
      ASSERT_TRUE(waitFor([&] { return client.probe.sendsComplete == i + 1; })) << i;
    }
    DoEvents();
    EXPECT_EQ(client.probe.sendsComplete, kPieces);
    if (end == End::StreamingOff) {
      client.socket.setStreaming(false);
      client.socket.SendData(asBytes("tail"));
      sent += "tail";
    }
    if (end == End::CloseNotify || end == End::StreamingOff) {
      const int pieces = kPieces + (end == End::StreamingOff ? 1 : 0);
      client.socket.SendCloseNotify();
      ASSERT_TRUE(waitFor([&] { return client.probe.sendsComplete == pieces + 1; }));
    }
    if (end == End::Abort) {
      client.socket.Abort();
    } else {
      client.socket.Close();
    }
    ASSERT_TRUE(waitFor([&] { return server.done(); }));  // the closing connection's rest goes while the loop runs

    const std::vector<TlsTestServer::Connection> seen = server.finish();
    ASSERT_EQ(seen.size(), 1u);
    const TlsTestServer::Connection& got = seen[0];
    std::vector<int> full(kFullRecords, static_cast<int>(kRecord + kOverhead));
    if (end == End::Abort) {
      EXPECT_FALSE(got.closeNotify);
      EXPECT_LE(got.received.size(), kFullRecords * kRecord);
      EXPECT_TRUE(sent.compare(0, got.received.size(), got.received) == 0);
      EXPECT_LE(got.recordLengths.size(), full.size());
      EXPECT_TRUE(std::equal(got.recordLengths.begin(), got.recordLengths.end(), full.begin()));
    } else {
      EXPECT_TRUE(got.closeNotify);
      EXPECT_TRUE(got.received == sent) << got.received.size() << " of " << sent.size();
      full.push_back(static_cast<int>(kPieces * kPiece - kFullRecords * kRecord + kOverhead));
      if (end == End::StreamingOff) full.push_back(static_cast<int>(4 + kOverhead));
      full.push_back(static_cast<int>(kAlert));
      EXPECT_EQ(got.recordLengths, full);
    }
  }
}

// A peer's end without the closing alert is a close like any other, after
// all the data, but the socket tells it from an end with the alert: anyone
// on the path can forge it.
TEST(TlsSocket, AnEndWithoutTheClosingAlertIsACloseThatSaysSo) {
  using namespace std::chrono_literals;
  for (bool alert : {true, false}) {
    SCOPED_TRACE(alert ? "with the alert" : "without the alert");
    test::TestSocket listener = test::TestSocket::listen("127.0.0.1");
    const test::TlsServerStream::Context context =
        test::TlsServerStream::newContext(TestCertificates::shared().server());
    std::thread server([&] {
      test::TestSocket peer = listener.accept(10s);
      test::TlsServerStream tls(peer, context.get());
      tls.send("payload");
      if (alert) tls.closeNotify();
      tls.shutdownSend();
      peer.waitPeerClosed(10s);
    });
    Client client("127.0.0.1", listener.localPort());
    client.socket.ConnectTls(u"127.0.0.1");
    EXPECT_TRUE(waitFor([&] { return client.probe.saw("close"); }));
    EXPECT_EQ(client.probe.received, "payload");
    EXPECT_EQ(client.socket.EndedWithoutCloseNotify(), !alert);
    EXPECT_FALSE(client.probe.saw("error " + std::to_string(sockerr::SecureChannel))) << toUtf8(client.probe.errorText);
    client.socket.Close();
    EXPECT_FALSE(client.socket.EndedWithoutCloseNotify());
    server.join();
  }
}

// Bytes of a record that a read left behind wait inside TLS, where no
// readiness of the connection tells of them: each rest is announced anyway.
TEST(TlsSocket, TheRestOfARecordIsAnnouncedAfterASmallRead) {
  TlsTestServer::Options options = serverFor(TestCertificates::shared().server());
  options.greeting = "220 one record";
  TlsTestServer server(options);
  Client client("127.0.0.1", server.port());
  std::string received;
  int arrivals = 0;
  client.socket.onDataArrival = [&](int32_t) {
    ++arrivals;
    uint8_t three[3];
    received.append(reinterpret_cast<const char*>(three), client.socket.GetData(three));
  };
  client.socket.ConnectTls(u"127.0.0.1");
  ASSERT_TRUE(waitFor([&] { return received == options.greeting; })) << received;
  EXPECT_EQ(arrivals, 5);
  client.socket.SendCloseNotify();
  ASSERT_TRUE(waitFor([&] { return client.probe.sendsComplete == 1; }));
  client.socket.Close();
  server.finish();
}

// A second connection resumes the first one's session: with TLS 1.3 the
// ticket the server sent after the handshake, with TLS 1.2 the session id.
// The server takes only P-256, not the client's first choice: the first TLS
// 1.3 connection needs a second hello for it, the resuming ones offer it at once.
TEST(TlsSocket, ASecondConnectionResumesTheFirstOnesSession) {
  for (bool tls12 : {false, true}) {
    SCOPED_TRACE(tls12 ? "TLS 1.2" : "TLS 1.3");
    TlsTestServer::Options options = serverFor(TestCertificates::shared().server());
    options.tls12Only = tls12;
    options.groups = "P-256";
    options.greeting = "hello";
    options.connections = 3;
    TlsTestServer server(options);
    TlsSession session;
    for (int i = 0; i < 3; ++i) {
      Client client("localhost", server.port());
      client.socket.ConnectTls(u"localhost", session);
      ASSERT_TRUE(waitFor([&] { return client.probe.received == "hello"; })) << i;
      EXPECT_EQ(client.connects(), 1);
      EXPECT_EQ(client.socket.SessionReused(), i > 0);
      if (i == 0) session = client.socket.Session();
      EXPECT_FALSE(session.empty());
      client.socket.SendCloseNotify();
      ASSERT_TRUE(waitFor([&] { return client.probe.sendsComplete == 1; }));
    }
    const std::vector<TlsTestServer::Connection> seen = server.finish();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_FALSE(seen[0].reused);
    EXPECT_TRUE(seen[1].reused);
    EXPECT_TRUE(seen[2].reused);  // the same session serves every later connection
    EXPECT_EQ(seen[1].version, tls12 ? "TLSv1.2" : "TLSv1.3");
    EXPECT_EQ(seen[0].hellos, tls12 ? 1 : 2);
    EXPECT_EQ(seen[1].hellos, 1);
    EXPECT_EQ(seen[2].hellos, 1);
  }
}

// A certificate that does not hold ends the handshake with Error naming the
// reason; nothing else is raised and no application byte goes out.
TEST(TlsSocket, RefusedCertificatesRaiseErrorWithTheReason) {
  const TestCertificates& certs = TestCertificates::shared();
  struct Case {
    std::filesystem::path certificate;
    const char16_t* name;
    const char16_t* reason;
  } cases[] = {
      {certs.otherName(), u"localhost", u"hostname mismatch"},
      {certs.otherName(), u"127.0.0.1", u"IP address mismatch"},
      {certs.expired(), u"localhost", u"certificate has expired"},
      {certs.unknownAuthority(), u"127.0.0.1", u"unable to get local issuer certificate"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.reason));
    TlsTestServer server(serverFor(c.certificate));
    Client client("127.0.0.1", server.port());
    client.socket.ConnectTls(c.name);
    ASSERT_TRUE(waitFor([&] { return !client.probe.log.empty(); }));
    EXPECT_THAT(client.probe.log, ::testing::ElementsAre("error " + std::to_string(sockerr::SecureChannel)));
    EXPECT_THAT(toUtf8(client.probe.errorText), ::testing::HasSubstr(toUtf8(c.reason)));
    EXPECT_EQ(client.socket.State(), SocketState::Error);
    client.socket.Close();
    const std::vector<TlsTestServer::Connection> seen = server.finish();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_FALSE(seen[0].handshake);
  }
}

TEST(TlsSocket, APlainPeerFailsTheHandshake) {
  test::TestSocket listener = test::TestSocket::listen("127.0.0.1");
  Client client("127.0.0.1", listener.localPort());
  client.socket.ConnectTls(u"127.0.0.1");
  ASSERT_TRUE(waitFor([&] { return listener.readable(std::chrono::milliseconds(0)); }));
  test::TestSocket peer = listener.accept(std::chrono::seconds(20));
  ASSERT_TRUE(waitFor([&] { return peer.readable(std::chrono::milliseconds(0)); }));
  // Until the handshake is done the connection takes no data.
  EXPECT_EQ(client.socket.State(), SocketState::Connecting);
  EXPECT_THROW(client.socket.SendData(String(u"early")), Error);
  peer.receive(std::chrono::seconds(20));  // the client's hello
  peer.send("220 not TLS at all\r\n");
  ASSERT_TRUE(waitFor([&] { return !client.probe.log.empty(); }));
  EXPECT_THAT(client.probe.log, ::testing::ElementsAre("error " + std::to_string(sockerr::SecureChannel)));
  EXPECT_THAT(toUtf8(client.probe.errorText), ::testing::HasSubstr("TLS handshake failed"));
  EXPECT_TRUE(client.probe.received.empty());
}

// IPv6 literals with and without brackets; a listener on ::1 reports its
// address, the request's peer and the connection's ends in IPv6 text.
TEST(TlsSocket, IPv6ConnectionsListenAndReportTheirAddresses) {
  for (const char16_t* host : {u"::1", u"[::1]"}) {
    SCOPED_TRACE(toUtf8(host));
    TcpSocket listener;
    SocketProbe listenerProbe(listener);
    listener.setLocalIP(u"::1");
    listener.Listen();
    EXPECT_EQ(listener.LocalIP(), u"::1");
    TcpSocket client;
    SocketProbe clientProbe(client);
    client.setRemoteHost(host);
    client.setRemotePort(listener.LocalPort());
    client.Connect();
    ASSERT_TRUE(waitFor([&] { return listenerProbe.lastRequest != 0 && clientProbe.saw("connect"); }));
    EXPECT_EQ(listener.RequestRemoteIP(listenerProbe.lastRequest), u"::1");
    TcpSocket server;
    SocketProbe serverProbe(server);
    server.Accept(listenerProbe.lastRequest);
    EXPECT_EQ(client.RemoteHostIP(), u"::1");
    EXPECT_EQ(client.LocalIP(), u"::1");
    EXPECT_EQ(server.RemoteHostIP(), u"::1");
    client.SendData(asBytes("over six"));
    ASSERT_TRUE(waitFor([&] { return serverProbe.received == "over six"; }));

    // An active-mode listener binds the family of the connection's own address.
    TcpSocket data;
    data.setLocalIP(client.LocalIP());
    data.Listen();
    EXPECT_EQ(data.LocalIP(), u"::1");
  }
}

TEST(TlsSocket, IPv6RefusedAndIPv4OnlyListenerStaysIPv4) {
  TcpSocket v4;
  v4.setLocalIP(u"127.0.0.1");
  v4.Listen();
  TcpSocket client;
  SocketProbe probe(client);
  client.setRemoteHost(u"::1");
  client.setRemotePort(v4.LocalPort());
  client.Connect();
  ASSERT_TRUE(waitFor([&] { return !probe.log.empty(); }));
  EXPECT_THAT(probe.log, ::testing::ElementsAre("error 10061"));
}

TEST(TlsSocket, TlsOverIPv6VerifiesTheAddress) {
  TlsTestServer::Options options = serverFor(TestCertificates::shared().server());
  options.ip = "::1";
  options.greeting = "six";
  TlsTestServer server(options);
  Client client("[::1]", server.port());
  client.socket.ConnectTls(u"[::1]");
  ASSERT_TRUE(waitFor([&] { return client.probe.received == "six"; }));
  client.socket.SendData(asBytes("secure six"));
  client.socket.SendCloseNotify();
  ASSERT_TRUE(waitFor([&] { return client.probe.sendsComplete == 2; }));
  client.socket.Close();
  const std::vector<TlsTestServer::Connection> seen = server.finish();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].received, "secure six");
  EXPECT_TRUE(seen[0].closeNotify);
}

}  // namespace
}  // namespace skein10

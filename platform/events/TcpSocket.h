#pragma once
// An asynchronous TCP socket that reports by events on its thread's loop.
//
// Members that start work (Connect, Listen) return at once; the outcome
// arrives as an event. Events are raised only while the owning thread pumps.
// A member that can't run in the socket's present state throws Error at once.
//
// A connection carries its bytes plain or through TLS, over IPv4 or IPv6,
// behind the same members and events. TLS is always this side as the client,
// also on an accepted connection (as FTP's data connections need).

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "platform/events/SocketError.h"
#include "platform/events/TlsSession.h"
#include "skein10/String.h"
#include "skein10/Variant.h"
#include "platform/Export.h"

namespace skein10 {

// The most bytes one DataArrival announces.
inline constexpr int32_t kMaxArrival = 1 << 20;

enum class SocketState : int16_t {
  Closed = 0,
  Open = 1,
  Listening = 2,
  ConnectionPending = 3,
  ResolvingHost = 4,
  HostResolved = 5,
  Connecting = 6,
  Connected = 7,
  Closing = 8,  // the peer has closed its side
  Error = 9,    // an Error event happened; Close resets
};

class SKEIN10_INTERNAL_API TcpSocket {
 public:
  TcpSocket();
  ~TcpSocket();  // closes without raising events
  TcpSocket(const TcpSocket&) = delete;
  TcpSocket& operator=(const TcpSocket&) = delete;

  SocketState State() const;
  // Closes the connection or listener; raises no event. The socket can be set
  // up again afterwards. A connection ends in order: everything sent before
  // Close (every piece that had its onSendComplete) still reaches the peer,
  // then the end; pieces still queued are dropped. A TLS stream (see
  // setStreaming) whose pieces all went ends with the closing alert after
  // them. The system's descriptor goes once the peer has ended its side too
  // (or after a bound), while the thread pumps.
  void Close();
  // Closes at once with a reset, so the peer sees its connection cut short
  // rather than ended normally (an upload never looks complete); otherwise
  // as Close.
  void Abort();

  String RemoteHost() const;
  // Host name, dotted IPv4 text, or IPv6 text with or without brackets
  // ("::1", "[::1]").
  void setRemoteHost(String host);
  int32_t RemotePort() const;
  void setRemotePort(int32_t port);
  // The peer's address of a connected or accepted socket: dotted IPv4, or
  // IPv6 text without brackets ("::1").
  String RemoteHostIP() const;

  // 0 = any free port. After Listen, the port bound.
  int32_t LocalPort() const;
  void setLocalPort(int32_t port);
  // The local address, dotted IPv4 or IPv6 text: the bound address of a
  // listener, the local end of a connection. A socket bound to no address of
  // its own (closed, or listening on all addresses) gives the host's first
  // non-loopback address of that family (127.0.0.1 or ::1 when it has none).
  String LocalIP() const;
  // The address Listen binds to, IPv4 or IPv6 text (default and empty: all
  // IPv4 addresses). A listener on an IPv6 address takes IPv6 peers only.
  void setLocalIP(String address);

  // Starts connecting to RemoteHost:RemotePort. A name resolves to IPv4 and
  // IPv6 addresses without blocking the thread; they are tried in the
  // resolver's order until one connects. The outcome is onConnect or onError.
  void Connect();
  // Starts listening on LocalIP:LocalPort; requests arrive as onConnectionRequest.
  void Listen();
  // The peer address of a pending connection request, in RemoteHostIP's
  // form: dotted IPv4, or IPv6 text without brackets ("::1").
  String RequestRemoteIP(int32_t requestID) const;
  // Takes a pending request as this (closed) socket's connection.
  void Accept(int32_t requestID);
  // Refuses a pending request: its connection is closed.
  void Refuse(int32_t requestID);

  // Queues data for sending, in order; onSendComplete follows once per call,
  // after the piece has been handed to the operating system. Text goes as UTF-8.
  void SendData(const String& text);
  void SendData(std::span<const uint8_t> bytes);
  // For a stream of pieces sent one after another (an upload): each piece
  // goes to the operating system marked as more to come, so it sends full
  // segments rather than one segment per piece. Over TLS the pieces are
  // gathered into full records (16 KiB of plaintext, at most one record
  // held) before they are encrypted. What is held back goes out with later
  // pieces, and at once when streaming ends: by setStreaming(false), by
  // SendCloseNotify (before the alert), or by Close, which also turns it off
  // (and over TLS sends the closing alert after it, when every piece had
  // been taken). Abort drops it. Nothing else changes: each piece is still
  // taken at once and gets its onSendComplete as soon as it has been taken.
  void setStreaming(bool streaming);

  // Reads at most maxBytes of what onDataArrival announced.
  // Into a caller's buffer: returns the count read.
  std::size_t GetData(std::span<uint8_t> into);
  // As bytes (the vector is resized to what was read) or text (UTF-8 decoded).
  void GetData(ByteArray& out, int32_t maxBytes);
  void GetData(String& out, int32_t maxBytes);

  // ---- TLS (internal; the session uses these for FTP over TLS) ----
  //
  // The server's certificate is verified against the system's trust store
  // (SSL_CERT_FILE and SSL_CERT_DIR choose another) and for `peerName`, a
  // host name or an IP address (brackets allowed), with TLS 1.2 or 1.3.
  // Verification can't be turned off. A failure is onError with
  // sockerr::SecureChannel and a description naming the reason; the
  // handshake bytes never reach onDataArrival.
  //
  // Like Connect, with the TLS handshake right after the TCP connection;
  // onConnect follows once the handshake is done. `resume` (may be empty) is
  // offered for resumption.
  void ConnectTls(const String& peerName, const TlsSession& resume = {});
  // Starts the TLS handshake on a connected (or accepted) plain connection
  // that has nothing queued to send: the state is Connecting until the
  // handshake is done, then onConnect follows (again, for a connection that
  // raised it for TCP) and data flows through TLS. Bytes the peer sent
  // before the handshake must have been read.
  void StartTls(const String& peerName, const TlsSession& resume = {});
  // Whether the connection runs TLS (from StartTls or ConnectTls until Close).
  bool IsTls() const;
  // The newest session the server gave this connection, for a later
  // connection to resume. A TLS 1.3 server sends its tickets after the
  // handshake; they are taken in while the connection reads. Empty for a
  // plain connection.
  TlsSession Session() const;
  // Whether the handshake resumed the session offered.
  bool SessionReused() const;
  // Whether the peer ended the TLS connection with a plain TCP end and no
  // closing alert: anyone on the path can forge such an end, so the data
  // may have been cut short. Known from onClose until Close; always false
  // for a plain connection.
  bool EndedWithoutCloseNotify() const;
  // Ends the connection's data with TLS's closing alert (close_notify),
  // queued behind the pieces not yet sent and what a stream gathered;
  // onSendComplete follows once it has gone (at once on a plain connection,
  // which sends nothing). No SendData after it; Close then ends the
  // connection.
  void SendCloseNotify();

  // Events.
  std::function<void(int32_t bytesTotal)> onDataArrival;
  std::function<void()> onClose;    // the peer closed
  std::function<void()> onConnect;  // Connect succeeded
  std::function<void(int32_t requestID)> onConnectionRequest;
  std::function<void(int32_t number, const String& description)> onError;
  std::function<void()> onSendComplete;

 private:
  struct Impl;
  std::shared_ptr<Impl> impl_;
};

}  // namespace skein10

#pragma once
// A TLS server for socket tests, on a loopback address: it takes connections
// one after another on a thread of its own; each does the server's side of
// the handshake, sends a greeting if asked, then reads until the client ends.
// What each connection did is recorded. Every wait is bounded.

#include <atomic>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "TestSocket.h"

namespace skein10::test {

class TlsTestServer {
 public:
  struct Options {
    std::string ip = "127.0.0.1";
    std::filesystem::path certificate;  // with TestCertificates::shared().key()
    bool tls12Only = false;
    std::string greeting;  // sent once the handshake is done
    int connections = 1;
    std::string groups;  // the key-exchange groups it takes ("P-256"); empty: OpenSSL's
  };

  struct Connection {
    bool handshake = false;    // the handshake succeeded
    bool reused = false;       // it resumed an earlier session
    bool closeNotify = false;  // the client ended with the closing alert
    std::string version;       // "TLSv1.3", "TLSv1.2"
    int hellos = 0;            // client hellos: 2 when the server asked for another key share
    std::string received;
    // The length of each encrypted record the client sent after the
    // handshake (TLS 1.3: its plaintext plus 17; the closing alert is 19).
    std::vector<int> recordLengths;
  };

  explicit TlsTestServer(Options options);
  ~TlsTestServer();
  TlsTestServer(const TlsTestServer&) = delete;
  TlsTestServer& operator=(const TlsTestServer&) = delete;

  int port() const { return port_; }
  // Whether every connection has ended (the client's loop may have to run
  // for that: a closed connection's rest goes while it pumps).
  bool done() const { return done_; }
  // Waits for the thread to end; what every connection did.
  std::vector<Connection> finish();

 private:
  void run(Options options);

  TestSocket listener_;
  int port_ = 0;
  std::atomic<bool> done_{false};
  std::mutex mutex_;
  std::vector<Connection> connections_;
  std::thread thread_;
};

}  // namespace skein10::test

#pragma once
// An FTP server that plays a script: exact byte sequences in chosen chunks,
// pauses, silences, closes and aborts that no real server produces on
// demand. It listens on 127.0.0.1, takes one control connection and runs the
// script on a thread of its own; what the client sent is recorded.

#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "TestSocket.h"
#include "TlsServerStream.h"

namespace skein10::test {

class ScriptedFtpServer {
 public:
  // Generous bound of every wait of a script on the client.
  static constexpr milliseconds kPatience{20000};

  class Session {
   public:
    // One chunk, sent at once.
    void send(std::string_view bytes);
    // The text cut at the given offsets, each piece sent with a pause after it.
    void sendChunks(std::string_view bytes, const std::vector<std::size_t>& cuts,
                    milliseconds pause = milliseconds(30));
    void pause(milliseconds duration);
    // The next command line the client sent, without its CR LF.
    std::string readLine();
    // Reads a line and fails the script unless it equals `line`.
    void expect(const std::string& line);
    // Whether the client has sent anything not read yet.
    bool clientSentAnything();
    // Waits (bounded) until the client closes the control connection.
    void waitClientClosed(milliseconds timeout = kPatience);
    void close();
    // Resets the control connection instead of closing it.
    void abort();

    // TLS (after "234" to AUTH TLS): the server's side of the handshake on
    // the control connection, with the test authority's certificate for
    // the loopback names; from here on the dialogue runs through it.
    void startTls(bool tls12Only = false);
    // The server's side of TLS on a data connection, resuming the control
    // connection's session when the client offers it.
    std::unique_ptr<TlsServerStream> secureData(TestSocket& data);

    // Passive mode: a data listener on 127.0.0.1; its port.
    int listenData();
    TestSocket acceptData();
    // Active mode: connects to the address of a "PORT h1,h2,h3,h4,p1,p2" line.
    TestSocket connectData(const std::string& portLine, const std::string& sourceIp = {});
    // "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)." for a host and port.
    static std::string passiveReply(const std::string& host, int port);
    static int portOfPortCommand(const std::string& portLine);

   private:
    friend class ScriptedFtpServer;
    Session(ScriptedFtpServer& server, TestSocket control);

    // The next bytes on the control connection, through TLS once it runs.
    std::string receive(milliseconds timeout);

    ScriptedFtpServer& server_;
    TestSocket control_;
    std::string pending_;
    TestSocket dataListener_;
    TlsServerStream::Context tlsContext_;
    std::unique_ptr<TlsServerStream> tls_;  // the control connection's, once it runs TLS
  };

  using Script = std::function<void(Session&)>;

  explicit ScriptedFtpServer(Script script);
  ~ScriptedFtpServer();
  ScriptedFtpServer(const ScriptedFtpServer&) = delete;
  ScriptedFtpServer& operator=(const ScriptedFtpServer&) = delete;

  int port() const { return port_; }
  std::u16string portText() const;
  // Waits for the script to end; rethrows what made it fail.
  void finish();
  // Everything the client sent on the control connection so far.
  std::string received() const;

 private:
  void run(Script script);
  void record(std::string_view bytes);

  TestSocket listener_;
  int port_ = 0;
  mutable std::mutex mutex_;
  std::string received_;
  std::exception_ptr failure_;
  std::thread thread_;
};

}  // namespace skein10::test

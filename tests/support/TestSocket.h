#pragma once
// A plain blocking TCP socket for test servers, with bounded waits.
// Failures and time-outs throw std::runtime_error.

#include <chrono>
#include <string>
#include <string_view>

namespace skein10::test {

using std::chrono::milliseconds;

class TestSocket {
 public:
  TestSocket() = default;
  explicit TestSocket(int fd) : fd_(fd) {}
  ~TestSocket();
  TestSocket(TestSocket&& other) noexcept;
  TestSocket& operator=(TestSocket&& other) noexcept;

  // Listens on ip:port (0: a free port); ip is IPv4 or IPv6 text.
  static TestSocket listen(const std::string& ip, int port = 0);
  // Connects to ip:port, from sourceIp when given.
  static TestSocket connect(const std::string& ip, int port, const std::string& sourceIp = {});
  // A port that was free a moment ago on 127.0.0.1.
  static int freePort();

  bool valid() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  int localPort() const;
  std::string peerIp() const;

  TestSocket accept(milliseconds timeout);
  // Whether bytes, a close or (on a listener) a connection request are waiting.
  bool readable(milliseconds timeout);
  void send(std::string_view bytes);
  // The next bytes received (at most `max`); empty when the peer has closed
  // or reset the connection.
  std::string receive(milliseconds timeout, std::size_t max = 65536);
  // Whether a receive found the connection reset rather than closed.
  bool wasReset() const { return reset_; }
  // Everything until the peer closes.
  std::string receiveAll(milliseconds timeout);
  // Waits until the peer closes, discarding what arrives; false on time-out.
  bool waitPeerClosed(milliseconds timeout);
  void close();
  // Closes with a reset instead of an orderly end.
  void abort();

 private:
  int fd_ = -1;
  bool reset_ = false;
};

}  // namespace skein10::test

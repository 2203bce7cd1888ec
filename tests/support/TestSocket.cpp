#include "TestSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace skein10::test {

namespace {

[[noreturn]] void fail(const std::string& what) {
  throw std::runtime_error(what + ": " + std::strerror(errno));
}

sockaddr_in addressOf(const std::string& ip, int port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<uint16_t>(port));
  if (inet_pton(AF_INET, ip.c_str(), &a.sin_addr) != 1) throw std::runtime_error("bad address " + ip);
  return a;
}

int newSocket() {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) fail("socket");
  int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  return fd;
}

void bindTo(int fd, const std::string& ip, int port) {
  sockaddr_in a = addressOf(ip, port);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) fail("bind " + ip);
}

}  // namespace

TestSocket::~TestSocket() { close(); }

TestSocket::TestSocket(TestSocket&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

TestSocket& TestSocket::operator=(TestSocket&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

TestSocket TestSocket::listen(const std::string& ip, int port) {
  TestSocket s(newSocket());
  bindTo(s.fd_, ip, port);
  if (::listen(s.fd_, 16) != 0) fail("listen");
  return s;
}

TestSocket TestSocket::connect(const std::string& ip, int port, const std::string& sourceIp) {
  TestSocket s(newSocket());
  if (!sourceIp.empty()) bindTo(s.fd_, sourceIp, 0);
  sockaddr_in a = addressOf(ip, port);
  if (::connect(s.fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) fail("connect");
  return s;
}

int TestSocket::freePort() { return listen("127.0.0.1").localPort(); }

int TestSocket::localPort() const {
  sockaddr_in a{};
  socklen_t n = sizeof a;
  if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &n) != 0) fail("getsockname");
  return ntohs(a.sin_port);
}

std::string TestSocket::peerIp() const {
  sockaddr_in a{};
  socklen_t n = sizeof a;
  if (::getpeername(fd_, reinterpret_cast<sockaddr*>(&a), &n) != 0) fail("getpeername");
  char text[INET_ADDRSTRLEN] = {};
  ::inet_ntop(AF_INET, &a.sin_addr, text, sizeof text);
  return text;
}

bool TestSocket::readable(milliseconds timeout) {
  pollfd p{fd_, POLLIN, 0};
  int n = ::poll(&p, 1, static_cast<int>(timeout.count()));
  if (n < 0) fail("poll");
  return n > 0;
}

TestSocket TestSocket::accept(milliseconds timeout) {
  if (!readable(timeout)) throw std::runtime_error("no connection came in time");
  int fd = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
  if (fd < 0) fail("accept");
  int on = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  return TestSocket(fd);
}

void TestSocket::send(std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n < 0) fail("send");
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

std::string TestSocket::receive(milliseconds timeout, std::size_t max) {
  if (!readable(timeout)) throw std::runtime_error("nothing arrived in time");
  std::string buffer(max, '\0');
  ssize_t n = ::recv(fd_, buffer.data(), buffer.size(), 0);
  if (n < 0) {
    if (errno == ECONNRESET) {
      reset_ = true;
      return {};
    }
    fail("recv");
  }
  buffer.resize(static_cast<std::size_t>(n));
  return buffer;
}

std::string TestSocket::receiveAll(milliseconds timeout) {
  std::string all;
  for (std::string part = receive(timeout); !part.empty(); part = receive(timeout)) all += part;
  return all;
}

bool TestSocket::waitPeerClosed(milliseconds timeout) {
  try {
    while (!receive(timeout).empty()) {
    }
    return true;
  } catch (const std::runtime_error&) {
    return false;
  }
}

void TestSocket::close() {
  if (fd_ >= 0) ::close(std::exchange(fd_, -1));
}

void TestSocket::abort() {
  if (fd_ < 0) return;
  linger l{1, 0};
  ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &l, sizeof l);
  close();
}

}  // namespace skein10::test

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

// An IPv4 or IPv6 address and port.
struct Address {
  sockaddr_storage storage{};
  socklen_t size = 0;
  const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&storage); }
};

Address addressOf(const std::string& ip, int port) {
  Address a;
  auto* v4 = reinterpret_cast<sockaddr_in*>(&a.storage);
  auto* v6 = reinterpret_cast<sockaddr_in6*>(&a.storage);
  if (inet_pton(AF_INET, ip.c_str(), &v4->sin_addr) == 1) {
    v4->sin_family = AF_INET;
    v4->sin_port = htons(static_cast<uint16_t>(port));
    a.size = sizeof *v4;
  } else if (inet_pton(AF_INET6, ip.c_str(), &v6->sin6_addr) == 1) {
    v6->sin6_family = AF_INET6;
    v6->sin6_port = htons(static_cast<uint16_t>(port));
    a.size = sizeof *v6;
  } else {
    throw std::runtime_error("bad address " + ip);
  }
  return a;
}

int newSocket(int family) {
  int fd = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) fail("socket");
  int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  return fd;
}

void bindTo(int fd, const Address& a, const std::string& ip) {
  if (::bind(fd, a.get(), a.size) != 0) fail("bind " + ip);
}

Address nameOf(int fd, bool peer) {
  Address a;
  a.size = sizeof a.storage;
  auto* where = reinterpret_cast<sockaddr*>(&a.storage);
  if ((peer ? ::getpeername(fd, where, &a.size) : ::getsockname(fd, where, &a.size)) != 0) fail("getsockname");
  return a;
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
  const Address a = addressOf(ip, port);
  TestSocket s(newSocket(a.storage.ss_family));
  bindTo(s.fd_, a, ip);
  if (::listen(s.fd_, 16) != 0) fail("listen");
  return s;
}

TestSocket TestSocket::connect(const std::string& ip, int port, const std::string& sourceIp) {
  const Address a = addressOf(ip, port);
  TestSocket s(newSocket(a.storage.ss_family));
  if (!sourceIp.empty()) bindTo(s.fd_, addressOf(sourceIp, 0), sourceIp);
  if (::connect(s.fd_, a.get(), a.size) != 0) fail("connect");
  return s;
}

int TestSocket::freePort() { return listen("127.0.0.1").localPort(); }

int TestSocket::localPort() const {
  const Address a = nameOf(fd_, false);
  if (a.storage.ss_family == AF_INET6) return ntohs(reinterpret_cast<const sockaddr_in6*>(&a.storage)->sin6_port);
  return ntohs(reinterpret_cast<const sockaddr_in*>(&a.storage)->sin_port);
}

std::string TestSocket::peerIp() const {
  const Address a = nameOf(fd_, true);
  char text[INET6_ADDRSTRLEN] = {};
  if (a.storage.ss_family == AF_INET6) {
    ::inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(&a.storage)->sin6_addr, text, sizeof text);
  } else {
    ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(&a.storage)->sin_addr, text, sizeof text);
  }
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

#include "host/ServerProbe.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

namespace skein10::host {
namespace {

struct AddressListFree {
  void operator()(addrinfo* list) const { ::freeaddrinfo(list); }
};
using AddressList = std::unique_ptr<addrinfo, AddressListFree>;

struct Socket {
  int fd;
  ~Socket() {
    if (fd >= 0) ::close(fd);
  }
};

int resolve(const std::string& host, const std::string& port, AddressList& list) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const int status = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &found);
  list.reset(found);
  return status;
}

Reachability outcome(int error) {
  if (error == 0) return Reachability::Accepted;
  if (error == ECONNREFUSED) return Reachability::Refused;
  if (error == ETIMEDOUT) return Reachability::NoAnswer;
  return Reachability::Unreachable;
}

Reachability attempt(const addrinfo& address, std::chrono::milliseconds limit) {
  const Socket socket{::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, 0)};
  if (socket.fd < 0) return Reachability::Unreachable;
  if (::connect(socket.fd, address.ai_addr, address.ai_addrlen) == 0) return Reachability::Accepted;
  if (errno != EINPROGRESS) return outcome(errno);
  pollfd waiting{socket.fd, POLLOUT, 0};
  if (::poll(&waiting, 1, static_cast<int>(limit.count())) <= 0) return Reachability::NoAnswer;
  int error = 0;
  socklen_t size = sizeof error;
  ::getsockopt(socket.fd, SOL_SOCKET, SO_ERROR, &error, &size);
  return outcome(error);
}

}  // namespace

std::optional<std::string> resolveFailure(const std::string& host, const std::string& port) {
  AddressList list;
  const int status = resolve(host, port, list);
  if (status == 0) return std::nullopt;
  return std::string(::gai_strerror(status));
}

Reachability probeConnection(const std::string& host, const std::string& port, std::chrono::milliseconds limit) {
  AddressList list;
  if (resolve(host, port, list) != 0 || !list) return Reachability::Unreachable;
  Reachability result = Reachability::Unreachable;
  for (const addrinfo* address = list.get(); address; address = address->ai_next) {
    result = attempt(*address, limit);
    if (result == Reachability::Accepted) break;
  }
  return result;
}

}  // namespace skein10::host

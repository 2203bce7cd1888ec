#include "platform/events/HostAddress.h"

#include <ifaddrs.h>
#include <netinet/in.h>

#include <asio/ip/address.hpp>
#include <cstring>
#include <memory>
#include <optional>

namespace skein10::events {
namespace {

struct InterfaceListFree {
  void operator()(ifaddrs* list) const { freeifaddrs(list); }
};

// The address of one interface entry of the family, if it is one a peer can
// reach (see hostAddress).
std::optional<asio::ip::address> reachable(const ifaddrs& entry, int family) {
  if (!entry.ifa_addr || entry.ifa_addr->sa_family != family) return std::nullopt;
  asio::ip::address address;
  if (family == AF_INET) {
    address = asio::ip::address_v4(ntohl(reinterpret_cast<const sockaddr_in*>(entry.ifa_addr)->sin_addr.s_addr));
  } else {
    asio::ip::address_v6::bytes_type bytes;
    std::memcpy(bytes.data(), &reinterpret_cast<const sockaddr_in6*>(entry.ifa_addr)->sin6_addr, bytes.size());
    const asio::ip::address_v6 v6(bytes);
    if (v6.is_link_local()) return std::nullopt;
    address = v6;
  }
  if (address.is_loopback()) return std::nullopt;
  return address;
}

}  // namespace

String withoutBrackets(const String& host) {
  if (host.size() >= 2 && host.front() == u'[' && host.back() == u']') return host.substr(1, host.size() - 2);
  return host;
}

String hostAddress(bool ipv6) {
  const int family = ipv6 ? AF_INET6 : AF_INET;
  asio::ip::address found = ipv6 ? asio::ip::address(asio::ip::address_v6::loopback())
                                 : asio::ip::address(asio::ip::address_v4::loopback());
  ifaddrs* entries = nullptr;
  if (getifaddrs(&entries) == 0) {
    const std::unique_ptr<ifaddrs, InterfaceListFree> list(entries);
    for (const ifaddrs* entry = entries; entry; entry = entry->ifa_next) {
      if (const std::optional<asio::ip::address> address = reachable(*entry, family)) {
        found = *address;
        break;
      }
    }
  }
  return fromUtf8(found.to_string());
}

}  // namespace skein10::events

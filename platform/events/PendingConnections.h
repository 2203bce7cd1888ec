#pragma once
// The thread's accepted connections that wait for Accept or Refuse, under
// their request ids. A request belongs to the listener that accepted it but
// outlives that listener's Close, so the same socket can be closed and then
// take the request; it goes away when the listener itself is destroyed.

#include <asio/ip/tcp.hpp>
#include <cstdint>
#include <optional>
#include <vector>
#include "platform/Export.h"

namespace skein10::events {

class SKEIN10_INTERNAL_API PendingConnections {
 public:
  int32_t add(asio::ip::tcp::socket connection, const void* listener);
  // The request's connection, removed from the table; nothing if unknown.
  std::optional<asio::ip::tcp::socket> take(int32_t requestID);
  // The request's peer; nothing if unknown.
  std::optional<asio::ip::tcp::endpoint> peer(int32_t requestID) const;
  // Closes and forgets every request of `listener`.
  void dropListener(const void* listener);

 private:
  struct Request {
    int32_t id;
    const void* listener;
    asio::ip::tcp::endpoint peer;
    asio::ip::tcp::socket connection;
  };

  std::vector<Request>::iterator find(int32_t requestID);
  std::vector<Request>::const_iterator find(int32_t requestID) const;
  int32_t nextFreeId();

  std::vector<Request> requests_;
  int32_t lastId_ = 0;
};

}  // namespace skein10::events

#include "platform/events/PendingConnections.h"

#include <algorithm>
#include <limits>

namespace skein10::events {

int32_t PendingConnections::add(asio::ip::tcp::socket connection, const void* listener) {
  asio::error_code ec;
  asio::ip::tcp::endpoint peer = connection.remote_endpoint(ec);
  const int32_t id = nextFreeId();
  requests_.push_back(Request{id, listener, peer, std::move(connection)});
  return id;
}

std::optional<asio::ip::tcp::socket> PendingConnections::take(int32_t requestID) {
  auto it = find(requestID);
  if (it == requests_.end()) return std::nullopt;
  std::optional<asio::ip::tcp::socket> connection(std::move(it->connection));
  requests_.erase(it);
  return connection;
}

std::optional<asio::ip::tcp::endpoint> PendingConnections::peer(int32_t requestID) const {
  auto it = find(requestID);
  if (it == requests_.end()) return std::nullopt;
  return it->peer;
}

void PendingConnections::dropListener(const void* listener) {
  std::erase_if(requests_, [listener](const Request& r) { return r.listener == listener; });
}

std::vector<PendingConnections::Request>::iterator PendingConnections::find(int32_t requestID) {
  return std::find_if(requests_.begin(), requests_.end(), [requestID](const Request& r) { return r.id == requestID; });
}

std::vector<PendingConnections::Request>::const_iterator PendingConnections::find(int32_t requestID) const {
  return std::find_if(requests_.begin(), requests_.end(), [requestID](const Request& r) { return r.id == requestID; });
}

// Ids count up from 1 and wrap at the largest Long, skipping any still pending.
int32_t PendingConnections::nextFreeId() {
  do {
    lastId_ = lastId_ == std::numeric_limits<int32_t>::max() ? 1 : lastId_ + 1;
  } while (find(lastId_) != requests_.end());
  return lastId_;
}

}  // namespace skein10::events

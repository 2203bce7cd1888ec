#pragma once
// What the host finds out about a server's address on its own, to tell the
// user which of the connection's first steps failed: the session's Connect
// reports every failure to reach the server as a time-out.

#include <chrono>
#include <optional>
#include <string>

namespace skein10::host {

// The resolver's reason when `host` has no address for TCP; none when it has.
std::optional<std::string> resolveFailure(const std::string& host, const std::string& port);

enum class Reachability { Accepted, Refused, Unreachable, NoAnswer };

// One TCP connection attempt to the server, closed again at once; NoAnswer
// when nothing answered within `limit`.
Reachability probeConnection(const std::string& host, const std::string& port, std::chrono::milliseconds limit);

}  // namespace skein10::host

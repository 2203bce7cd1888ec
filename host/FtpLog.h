#pragma once
// What the host reads from the session log (LogData): the server's replies.
// The log holds each command sent (CR LF ended) and each reply chunk as it
// arrived; a reply line starts with its three-digit code, a command never does.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace skein10::host {

// The server's last complete reply line (without its CR LF), the final line
// of a multi-line reply; none when the log holds no reply.
std::optional<std::string> lastReplyLine(std::string_view log);

// The three-digit code of a reply line; none when it has none.
std::optional<int> replyCode(std::string_view line);

// The size a "150 ... (N bytes)" reply line announces; none without one.
std::optional<uint64_t> announcedSize(std::string_view line);

}  // namespace skein10::host

#pragma once
// The socket's error numbers and texts, and the mapping of system failures
// onto them.

#include <asio/error_code.hpp>
#include <cstdint>

#include "skein10/Error.h"
#include "skein10/String.h"

namespace skein10::events {

struct SocketFailure {
  int32_t number;
  String description;
};

// The socket error for a failed system call or name look-up.
SocketFailure socketFailure(const asio::error_code& ec);

// The error a member throws, with its number's text and source "TcpSocket".
Error socketError(int32_t number);
Error socketError(const asio::error_code& ec);

}  // namespace skein10::events

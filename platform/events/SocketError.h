#pragma once
// The socket's error numbers and texts, and the mapping of system failures
// onto them.

#include <asio/error_code.hpp>
#include <cstdint>

#include "skein10/Error.h"
#include "skein10/String.h"
#include "platform/Export.h"

namespace skein10::events {

struct SKEIN10_INTERNAL_API SocketFailure {
  int32_t number;
  String description;
};

// The socket error for a failed system call or name look-up.
SKEIN10_INTERNAL_API SocketFailure socketFailure(const asio::error_code& ec);

// The error a member throws, with its number's text and source "TcpSocket".
SKEIN10_INTERNAL_API Error socketError(int32_t number);
SKEIN10_INTERNAL_API Error socketError(const asio::error_code& ec);

}  // namespace skein10::events

#pragma once
// The socket's error numbers and texts, and the mapping of system failures
// onto them.

#include <asio/error_code.hpp>
#include <cstdint>

#include "skein10/Error.h"
#include "skein10/String.h"
#include "platform/Export.h"

namespace skein10 {

// Numbers of the errors a socket throws or raises (source "TcpSocket").
namespace sockerr {
inline constexpr int32_t BadState = 40006;         // member not valid in the present state
inline constexpr int32_t InvalidArgument = 40014;  // port out of range, unknown request id, bad address
inline constexpr int32_t PermissionDenied = 10013;
inline constexpr int32_t AddressInUse = 10048;
inline constexpr int32_t AddressNotAvailable = 10049;
inline constexpr int32_t NetworkUnreachable = 10051;
inline constexpr int32_t ConnectionAborted = 10053;  // also any failure without a number of its own
inline constexpr int32_t ConnectionReset = 10054;
inline constexpr int32_t NoBufferSpace = 10055;
inline constexpr int32_t TimedOut = 10060;
inline constexpr int32_t ConnectionRefused = 10061;
inline constexpr int32_t HostUnreachable = 10065;
inline constexpr int32_t HostNotFound = 11001;
inline constexpr int32_t HostNotFoundTryAgain = 11002;
// A TLS handshake, certificate or record failure; the description says why
// (for a refused certificate: "certificate has expired", "hostname mismatch",
// "self-signed certificate", "unable to get local issuer certificate", ...).
inline constexpr int32_t SecureChannel = 40200;
}  // namespace sockerr

}  // namespace skein10

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

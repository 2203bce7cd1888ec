#include "platform/events/SocketError.h"

#include <asio/error.hpp>
#include <cerrno>


namespace skein10::events {
namespace {

constexpr char16_t kSource[] = u"TcpSocket";

struct Text {
  int32_t number;
  const char16_t* text;
};

constexpr Text kTexts[] = {
    {sockerr::BadState, u"Wrong protocol or connection state for the requested transaction or request"},
    {sockerr::InvalidArgument,
     u"The argument passed to a function was not in the correct format or in the specified range"},
    {sockerr::PermissionDenied, u"Permission denied"},
    {sockerr::AddressInUse, u"Address in use"},
    {sockerr::AddressNotAvailable, u"Address not available from the local machine"},
    {sockerr::NetworkUnreachable, u"Network is unreachable"},
    {sockerr::ConnectionAborted, u"Connection is aborted due to timeout or other failure"},
    {sockerr::ConnectionReset, u"The connection is reset by remote side"},
    {sockerr::NoBufferSpace, u"No buffer space is available"},
    {sockerr::TimedOut, u"Connection timed out"},
    {sockerr::ConnectionRefused, u"Connection is forcefully rejected"},
    {sockerr::HostUnreachable, u"Host is unreachable"},
    {sockerr::HostNotFound, u"Authoritative answer: Host not found"},
    {sockerr::HostNotFoundTryAgain, u"Non-authoritative answer: Host not found"},
    {sockerr::SecureChannel, u"The secure connection failed"},
};

struct Mapping {
  asio::error_code code;
  int32_t number;
};

const Mapping kMappings[] = {
    {asio::error::access_denied, sockerr::PermissionDenied},
    {asio::error::address_in_use, sockerr::AddressInUse},
    {asio::error_code(EADDRNOTAVAIL, asio::system_category()), sockerr::AddressNotAvailable},
    {asio::error::network_unreachable, sockerr::NetworkUnreachable},
    {asio::error::network_down, sockerr::NetworkUnreachable},
    {asio::error::connection_aborted, sockerr::ConnectionAborted},
    {asio::error::connection_reset, sockerr::ConnectionReset},
    {asio::error::broken_pipe, sockerr::ConnectionReset},
    {asio::error::no_buffer_space, sockerr::NoBufferSpace},
    {asio::error::timed_out, sockerr::TimedOut},
    {asio::error::connection_refused, sockerr::ConnectionRefused},
    {asio::error::host_unreachable, sockerr::HostUnreachable},
    {asio::error::host_not_found, sockerr::HostNotFound},
    {asio::error::no_data, sockerr::HostNotFound},
    {asio::error::host_not_found_try_again, sockerr::HostNotFoundTryAgain},
};

const char16_t* textOf(int32_t number) {
  for (const Text& t : kTexts) {
    if (t.number == number) return t.text;
  }
  return nullptr;
}

}  // namespace

SocketFailure socketFailure(const asio::error_code& ec) {
  for (const Mapping& m : kMappings) {
    if (ec == m.code) return {m.number, textOf(m.number)};
  }
  // Anything else is an aborted connection; the system's own words say why.
  return {sockerr::ConnectionAborted, fromUtf8(ec.message())};
}

Error socketError(int32_t number) {
  const char16_t* text = textOf(number);
  return Error(number, kSource, text ? String(text) : runtimeErrorText(number));
}

Error socketError(const asio::error_code& ec) {
  SocketFailure failure = socketFailure(ec);
  return Error(failure.number, kSource, std::move(failure.description));
}

}  // namespace skein10::events

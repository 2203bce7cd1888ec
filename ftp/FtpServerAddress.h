#pragma once
// The server text Connect is given: a host name or address, optionally after
// a scheme that asks for TLS. "ftpes://HOST" is explicit TLS (AUTH TLS after
// the greeting), "ftps://HOST" implicit TLS (TLS from the first byte); an
// IPv6 literal is "[::1]" after a scheme, "::1" or "[::1]" without one.

#include "skein10/String.h"

namespace skein10 {

struct FtpServerAddress {
  enum class Security { Plain, Explicit, Implicit };

  String host;      // for the socket (brackets allowed)
  String peerName;  // what the server's certificate must name: the host without brackets
  Security security = Security::Plain;

  // Fails with error 5 for a scheme other than the two above, or nothing
  // after one.
  static FtpServerAddress parse(const String& server);
};

}  // namespace skein10

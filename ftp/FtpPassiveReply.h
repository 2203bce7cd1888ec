#pragma once
// The data address in a server's passive reply: 227 to PASV (host and port)
// and 229 to EPSV (the port alone).

#include <cstdint>

#include "skein10/String.h"

namespace skein10 {

struct FtpPassiveReply {
  String host;   // as the server named it, dotted
  int32_t port;  // 1..65535

  // Reads the numbers of the last parenthesised group of the reply: the text
  // after the last "(" before the last ")" (or before the end when there is no
  // ")"). Its last two comma-separated fields are the port's high and low
  // byte, everything before them the host. Fails with the session error when
  // the reply holds no such group, a port field is not a number from 0 to
  // 255, or the port is 0.
  static FtpPassiveReply parse(StringView reply);
  // The port of a 229 reply to EPSV: the fourth field of the parenthesised
  // group, whose first character is the field separator ("(|||6446|)").
  // The host is left empty: the data connection goes to the control
  // connection's peer. Fails like parse.
  static FtpPassiveReply parseExtended(StringView reply);
};

}  // namespace skein10

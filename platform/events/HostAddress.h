#pragma once
// Address text as the sockets and the FTP session read it, and the address
// of this host that a peer can reach.

#include "skein10/String.h"
#include "platform/Export.h"

namespace skein10::events {

// `host` without the brackets an IPv6 literal may come in ("[::1]" gives
// "::1"); any other text as it is.
SKEIN10_INTERNAL_API String withoutBrackets(const String& host);

// This host's first address of the family (IPv6 when `ipv6`, else IPv4), as
// text, that is not loopback; an IPv6 link-local address is passed over, as
// it needs a scope a peer can't know. The family's loopback address ("::1",
// "127.0.0.1") when the host has none.
SKEIN10_INTERNAL_API String hostAddress(bool ipv6);

}  // namespace skein10::events

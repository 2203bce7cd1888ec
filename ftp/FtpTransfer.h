#pragma once
// What the session's data waits read besides the specified fields: that the
// data connection opened, what ended the transfer early (the data
// connection's failure, an error reply), whether anything moved (which
// restarts their time-out), and whether the data arrived whole. It belongs
// to one transfer: reset() forgets it all as the next one's data connection
// is set up.

#include <cstdint>
#include <optional>

#include "skein10/Error.h"

namespace skein10 {

struct FtpTransfer {
  bool opened = false;                 // the data connection opened since its set-up began
  bool secured = false;                // the data connection's TLS handshake is done
  uint64_t progress = 0;               // counts data events and the replies paid
  std::optional<Error> failure;        // the data socket failed, or received bytes could not be written
  std::optional<Error> serverError;    // an error reply that ended the transfer or answered no command

  // Whether the data arrived whole.
  uint64_t received = 0;                 // bytes received on the data connection
  std::optional<uint64_t> statedSize;    // the size the transfer's 1xx reply stated
  bool cutShort = false;                 // the TLS data connection ended without the closing alert

  void reset() { *this = FtpTransfer(); }
};

}  // namespace skein10

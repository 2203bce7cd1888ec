#pragma once
// What the session's control-channel waits read besides the specified
// fields: which reply each command is owed, the one the pending wait awaits
// and its answer, and what else ends a wait (the reply timer, a failed
// control connection). It belongs to one control connection: reset() forgets
// it all before the next one.

#include <optional>

#include "ftp/FtpReplyLedger.h"
#include "skein10/Error.h"
#include "skein10/String.h"

namespace skein10 {

// The outcome of the reply that paid off a command.
struct FtpAnswer {
  int32_t error = 0;
  String reason;
  String reply;  // the reply line itself
};

struct FtpControlWait {
  FtpReplyLedger replies;                 // commands owed a reply, oldest first
  FtpReplyLedger::Ticket awaited = 0;     // the pending command wait's ticket; 0 when none
  std::optional<FtpAnswer> answer;        // the awaited command's own reply
  bool timedOut = false;                  // the reply timer ended the pending wait
  std::optional<Error> failure;           // the control connection failed or the server closed it
  bool secured = false;                   // the control connection's TLS handshake is done

  void reset() { *this = FtpControlWait(); }
};

}  // namespace skein10

#pragma once
// The errors the FTP session raises.

#include "skein10/Error.h"

namespace skein10 {

class FtpError {
 public:
  // The session error: number 8, the server's outcome as description, and
  // its cause.
  static Error session(String reason, Failure failure = {});
  // The session error for a failed connection, its cause read from the
  // socket's error number (a name that did not resolve, TLS, or any other
  // failure of the connection).
  static Error connection(String reason, int32_t socketError, FailureKind otherwise);
  // The same error, naming `command` (a verb: "RETR") as the command it
  // belongs to, unless it names one already or is a local file's error.
  static Error during(const Error& error, const String& command);
  // A call the session refuses before it sends anything: number 5.
  static Error invalidCall(String description);
};

// The verb of a command line: "RETR" of "RETR a.txt".
String commandVerb(StringView command);

}  // namespace skein10

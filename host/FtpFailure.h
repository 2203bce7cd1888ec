#pragma once
// How a failed `skein10 ftp` session is reported: the exit status that says
// what failed, and the error line that names the failing step and the
// server's own last reply.

#include <optional>
#include <string>

#include "skein10/Error.h"

namespace skein10::host {

// What a step does, as far as failures tell apart.
enum class StepRole { Connect, Command, ChangeFolder, Download, Listing, Upload };

// The reply timer's text when the server did not answer in time.
inline constexpr char16_t kTimedOutReason[] = u"The servers response has timed out.";

struct StepFailure {
  StepRole role;
  Error error;
  std::optional<std::string> serverLine;  // the last reply line in the log
  bool userSent = false;                  // the log shows a USER command
};

// The exit status for a failed step (see ExitCodes.h). A time-out at Connect
// with no reply at all is left to the caller, which knows whether anything
// listened (7) or not (28); here it is 28.
int exitCodeOf(const StepFailure& failure);

// "LABEL: error N (SOURCE): DESCRIPTION [server: LINE]"; the server part only
// for the session's own error (number 8).
std::string failureLine(const std::string& label, const StepFailure& failure);

}  // namespace skein10::host

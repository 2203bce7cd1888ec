#pragma once
// How a failed `skein10 ftp` session is reported: the exit status that says
// what failed, and the error line that names the failing step and quotes the
// server's reply that refused it. Both come from the cause every error
// carries (skein10/Failure.h), never from the words of its description.

#include <string>

#include "skein10/Error.h"

namespace skein10::host {

// What a step does, as far as failures tell apart.
enum class StepRole { Connect, Command, ChangeFolder, Download, Listing, Upload };

// The exit status for a step of `role` that failed with `error` (see
// ExitCodes.h): by the cause, a time-out 28, a host name that did not
// resolve 6, a lost or refused connection 7, TLS 35, a local file 23 (a
// listing or download) or 26 (an upload). A server's refusal: 67 for 530
// or 332 to USER or PASS, 64 for AUTH, PBSZ or PROT, 7 for any other during
// the connect step, 9 for a cd step, 78 for 550 to RETR; anything else 1.
int exitCodeOf(StepRole role, const Error& error);

// "LABEL: error N (SOURCE): DESCRIPTION [server: REPLY]", the server part
// only when the server refused the failing command (the reply it gave).
std::string failureLine(const std::string& label, const Error& error);

}  // namespace skein10::host

#pragma once
// `skein10 ftp`: one FTP session, run step by step.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/CommandLine.h"
#include "host/FtpSteps.h"
#include "host/FtpUrl.h"

namespace skein10::host {

struct FtpInvocation {
  std::optional<String> mode;      // "PASV" or "PORT"
  std::optional<int32_t> timeout;  // milliseconds, greater than 0
  bool log = false;
  bool quiet = false;
  FtpUrl server;
  String password;  // from the URL, else from `passwordVariable`, else empty
  std::vector<FtpStep> steps;
};

// Reads options, URL and steps; UsageError for any mistake. `passwordVariable`
// is the value of $SKEIN10_FTP_PASSWORD (nullptr when unset).
FtpInvocation parseFtpInvocation(CommandLine& words, const char* passwordVariable);

// Runs the session: connect, every step until one fails, disconnect, the log
// when asked. Throws the first error after printing the log.
int runFtp(CommandLine& words);

}  // namespace skein10::host

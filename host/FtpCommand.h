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
  bool progress = false;                  // --progress: also when standard error is no terminal
  bool ascii = false;                     // --ascii: TYPE A for the whole session
  bool netrc = false;                     // --netrc: look the login up in ~/.netrc
  std::optional<std::string> userOption;  // -u USER[:PASS]
  bool tlsRequired = false;               // --ssl-reqd: ftp:// is taken as ftpes://
  std::optional<std::string> trustStore;  // --cacert FILE: the authorities to trust
  FtpUrl server;
  // The URL path's steps (FtpStep::fromUrl), then the steps written.
  std::vector<FtpStep> steps;
};

// Reads the options (anywhere before the first step), the URL and the steps;
// UsageError for any mistake.
FtpInvocation parseFtpInvocation(CommandLine& words);

// The transfer type the session sets after logging in: TYPE I, or TYPE A
// with --ascii; none when a step chooses the type itself.
std::optional<int32_t> defaultTransferType(const FtpInvocation& job);

// The trust store the session's TLS is told to read: --cacert, else
// $SSL_CERT_FILE (`certFileVariable`, nullptr when unset) when the URL asks
// for TLS; none otherwise (OpenSSL's default store).
struct TrustStore {
  std::string file;
  std::string namedBy;  // "--cacert" or "SSL_CERT_FILE"
};
std::optional<TrustStore> trustStoreOf(const FtpInvocation& job, const char* certFileVariable);

// Runs the session: connect, the default transfer type, every step until one
// fails, disconnect, the log when asked. Returns 0, or throws a
// CommandFailure with the exit status of what failed (after the log): 77
// before connecting when the trust store can't be read.
int runFtp(CommandLine& words);

}  // namespace skein10::host

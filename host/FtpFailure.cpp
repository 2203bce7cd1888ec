#include "host/FtpFailure.h"

#include <algorithm>
#include <array>

#include "host/ExitCodes.h"
#include "host/FtpLog.h"

namespace skein10::host {
namespace {

constexpr int32_t kSessionError = 8;

// The runtime's errors of local files: bad file number or mode, file not
// found, already open, device I/O, disk full, input past end of file (a file
// that shrank while it was sent), too many files, permission denied,
// path/file access, path not found.
constexpr std::array<int32_t, 11> kLocalFileErrors{52, 53, 54, 55, 57, 61, 62, 67, 70, 75, 76};

bool isLocalFileError(const Error& error) {
  return std::find(kLocalFileErrors.begin(), kLocalFileErrors.end(), error.number()) != kLocalFileErrors.end();
}

// The session names a failed connection by its socket error: 11001 and
// 11002 are a host name that did not resolve.
bool hostNotFound(const Error& error) {
  const String& text = error.description();
  return text.find(u"(socket error 11001).") != String::npos || text.find(u"(socket error 11002).") != String::npos;
}

int connectExitCode(const StepFailure& failure) {
  if (hostNotFound(failure.error)) return exitcode::kHostNotResolved;
  return failure.userSent ? exitcode::kLoginRefused : exitcode::kConnectFailed;
}

int sessionExitCode(const StepFailure& failure) {
  if (failure.error.description() == kTimedOutReason) return exitcode::kTimedOut;
  const auto code = failure.serverLine ? replyCode(*failure.serverLine) : std::nullopt;
  switch (failure.role) {
    case StepRole::Connect: return connectExitCode(failure);
    case StepRole::ChangeFolder: return exitcode::kRemoteFolder;
    case StepRole::Download: return code == 550 ? exitcode::kRemoteFileNotFound : exitcode::kError;
    default: return exitcode::kError;
  }
}

int localExitCode(StepRole role) {
  if (role == StepRole::Download || role == StepRole::Listing) return exitcode::kLocalWrite;
  if (role == StepRole::Upload) return exitcode::kLocalRead;
  return exitcode::kError;
}

}  // namespace

int exitCodeOf(const StepFailure& failure) {
  if (failure.error.number() == kSessionError) return sessionExitCode(failure);
  if (isLocalFileError(failure.error)) return localExitCode(failure.role);
  return exitcode::kError;
}

std::string failureLine(const std::string& label, const StepFailure& failure) {
  std::string line = label + ": " + failure.error.what();
  if (failure.error.number() == kSessionError && failure.serverLine) line += " [server: " + *failure.serverLine + "]";
  return line;
}

}  // namespace skein10::host

#include "host/FtpFailure.h"

#include "host/ExitCodes.h"

namespace skein10::host {
namespace {

bool isLogin(const String& command) { return command == u"USER" || command == u"PASS"; }

bool isTlsSetUp(const String& command) { return command == u"AUTH" || command == u"PBSZ" || command == u"PROT"; }

int refusalExitCode(StepRole role, const Failure& failure) {
  const int32_t code = failure.replyCode();
  if (isLogin(failure.command) && (code == 530 || code == 332)) return exitcode::kLoginRefused;
  if (isTlsSetUp(failure.command)) return exitcode::kTlsRefused;
  if (role == StepRole::Connect) return exitcode::kConnectFailed;
  if (role == StepRole::ChangeFolder) return exitcode::kRemoteFolder;
  if (failure.command == u"RETR" && code == 550) return exitcode::kRemoteFileNotFound;
  return exitcode::kError;
}

int localExitCode(StepRole role) {
  if (role == StepRole::Download || role == StepRole::Listing) return exitcode::kLocalWrite;
  if (role == StepRole::Upload) return exitcode::kLocalRead;
  return exitcode::kError;
}

}  // namespace

int exitCodeOf(StepRole role, const Error& error) {
  const Failure& failure = error.failure();
  switch (failure.kind) {
    case FailureKind::TimedOut: return exitcode::kTimedOut;
    case FailureKind::HostNotFound: return exitcode::kHostNotResolved;
    case FailureKind::Connection: return exitcode::kConnectFailed;
    case FailureKind::Tls: return exitcode::kTlsFailed;
    case FailureKind::LocalFile: return localExitCode(role);
    case FailureKind::ServerReply: return refusalExitCode(role, failure);
    case FailureKind::Unclassified:
    case FailureKind::DataConnection:
    case FailureKind::WrongThread: break;
  }
  return exitcode::kError;
}

std::string failureLine(const std::string& label, const Error& error) {
  std::string line = label + ": " + error.what();
  const Failure& failure = error.failure();
  if (failure.kind == FailureKind::ServerReply && !failure.reply.empty()) line += " [server: " + toUtf8(failure.reply) + "]";
  return line;
}

}  // namespace skein10::host

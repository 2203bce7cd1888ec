#include "ftp/FtpError.h"

#include "platform/events/SocketError.h"

namespace skein10 {

Error FtpError::session(String reason, Failure failure) {
  return Error(kFtpSessionError, kFtpErrorSource, std::move(reason), std::move(failure));
}

Error FtpError::connection(String reason, int32_t socketError, FailureKind otherwise) {
  FailureKind kind = otherwise;
  if (socketError == sockerr::HostNotFound || socketError == sockerr::HostNotFoundTryAgain) {
    kind = FailureKind::HostNotFound;
  } else if (socketError == sockerr::SecureChannel) {
    kind = FailureKind::Tls;
  }
  return session(std::move(reason), Failure{kind, {}, {}});
}

Error FtpError::during(const Error& error, const String& command) {
  const Failure& named = error.failure();
  if (!named.command.empty() || named.kind == FailureKind::LocalFile || command.empty()) return error;
  Failure failure = error.failure();
  failure.command = command;
  return Error(error.number(), error.source(), error.description(), std::move(failure));
}

Error FtpError::invalidCall(String description) {
  return Error(errc::InvalidCall, kFtpErrorSource, std::move(description));
}

String commandVerb(StringView command) { return String(command.substr(0, command.find(u' '))); }

}  // namespace skein10

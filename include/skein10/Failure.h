#pragma once
// Why a call failed, for hosts that react to the cause (an exit status, an
// exception type) instead of reading the description's words. Every error
// carries one (`Error::failure()`): the runtime derives it from the error's
// number, and the FTP session names the cause of each error it raises.

#include <cstdint>

#include "skein10/String.h"

namespace skein10 {

// The FTP session's own error: raised by every member of
// clsKvInetFTPConnection that talks to the server, with the server's outcome
// (a reply's text, the time-out, the connection's failure) as description.
inline constexpr int32_t kFtpSessionError = 8;
inline constexpr char16_t kFtpErrorSource[] = u"FTP Command";

enum class FailureKind : int32_t {
  // Nothing finer is known: the number and the description say it all (a
  // bad argument, a missing member, a class that can't be created, ...).
  Unclassified = 0,
  // The server did not answer within the session's TimeOut.
  TimedOut,
  // The server's host name did not resolve.
  HostNotFound,
  // The control connection was refused, could not reach the server, was
  // reset, or the server closed it.
  Connection,
  // A TLS handshake or TLS connection failed, on either connection,
  // including a server certificate that was refused.
  Tls,
  // The server refused a command: `Failure::reply` is its reply line and
  // `Failure::command` the command it answered.
  ServerReply,
  // The data connection failed (refused, reset, cut short).
  DataConnection,
  // A local file could not be opened, read or written: the runtime's file
  // errors 52 to 76 (53 not found, 70 permission denied, 61 disk full, ...).
  LocalFile,
  // The object was called on a thread other than its own (error 1001).
  WrongThread,
};

struct Failure {
  FailureKind kind = FailureKind::Unclassified;
  // The command the failure belongs to, as its verb ("PASS", "RETR",
  // "PROT"); empty when the failure concerns no command (the greeting, a
  // local file, an argument).
  String command;
  // The server's reply line that caused the failure, without its line end
  // ("550 No such file or directory."); empty unless `kind` is ServerReply.
  String reply;

  // The reply's three-digit code; 0 without a reply.
  int32_t replyCode() const {
    if (reply.size() < 3) return 0;
    int32_t code = 0;
    for (std::size_t i = 0; i < 3; ++i) {
      if (reply[i] < u'0' || reply[i] > u'9') return 0;
      code = code * 10 + (reply[i] - u'0');
    }
    return code;
  }
};

}  // namespace skein10

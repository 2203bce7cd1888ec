#pragma once
// One `skein10 ftp` session on a session object: connect and log in, the
// default transfer type, each step (with its progress line on a terminal and
// "-" as standard input or output), disconnect. A failure becomes a
// CommandFailure that names the failing step, carries the server's last
// reply and the exit status of what failed.

#include <cstddef>
#include <optional>
#include <string>

#include "host/FtpCommand.h"
#include "host/FtpFailure.h"
#include "host/FtpLogin.h"
#include "skein10/Object.h"

namespace skein10::host {

class FtpSession {
 public:
  FtpSession(Object& session, const FtpInvocation& job, Login login);

  // Throws CommandFailure at the first step that fails.
  void run();

 private:
  void connect();
  void chooseDefaultType(int32_t type);
  void runStep(std::size_t number, FtpStep step);
  void transfer(const FtpStep& step);
  // Warns when QUIT can't be delivered; every step has succeeded by then.
  void disconnect();

  [[noreturn]] void fail(const std::string& label, StepRole role, const Error& error);
  std::string log();
  std::optional<uint64_t> announcedDownloadSize();

  Object& session_;
  const FtpInvocation& job_;
  Login login_;
  bool showProgress_;
};

}  // namespace skein10::host

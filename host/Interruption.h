#pragma once
// Ctrl-C (SIGINT), SIGTERM and SIGHUP (a closed terminal) during an `skein10
// ftp` session. The signal only sets a flag; a timer on the thread's event
// loop looks at it every 100 ms inside the waiting session member and ends
// that member with an error, so the member unwinds as after any failure: a
// download's side file is removed, the local file is closed. Between calls
// the host looks at the flag itself. Once the session is closed (QUIT), the
// program ends by the same signal with its default action (endBy), so a
// shell sees an interrupted command and stops a loop around it.

#include <string>

#include "host/CommandFailure.h"
#include "skein10/Events.h"

namespace skein10::host {

class Interruption {
 public:
  static constexpr int32_t kCheckMilliseconds = 100;

  Interruption();   // installs the handlers
  ~Interruption();  // restores the previous ones
  Interruption(const Interruption&) = delete;
  Interruption& operator=(const Interruption&) = delete;

  static bool requested();
  // The signal that came; 0 when none did.
  static int signal();
  // Throws the interruption's error when a signal came.
  static void check();
  // How a command that a signal ended reports it: "WHAT: interrupted by
  // SIGINT; the session was closed", ending by that signal.
  static CommandFailure failure(const std::string& what);

  // Flushes the standard streams and ends the process by `signal` with its
  // default action.
  [[noreturn]] static void endBy(int signal);

 private:
  Timer timer_;
};

}  // namespace skein10::host

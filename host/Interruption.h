#pragma once
// Ctrl-C (SIGINT) and SIGTERM during an `skein10 ftp` session. The signal only
// sets a flag; a timer on the thread's event loop looks at it every 100 ms
// inside the waiting session member and ends that member with an error, so
// the member unwinds as after any failure: a download's side file is removed,
// the local file is closed. Between steps the host looks at the flag itself.

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
  // Throws the interruption's error when a signal came.
  static void check();

 private:
  Timer timer_;
};

}  // namespace skein10::host

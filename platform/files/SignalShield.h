#pragma once
// Keeps the signals a write can raise from ending the host: SIGPIPE (a FIFO
// whose reader went away) and SIGXFSZ (a write past the file-size limit),
// whose default actions end the process. For the scope of a shield both are
// blocked on the calling thread; one that the shielded write raised is taken
// off the thread again before they are unblocked, so the write just fails
// (EPIPE, EFBIG). The host's signal dispositions are never touched, and a
// signal that was already pending before the shield stays pending.

#include <signal.h>

namespace skein10::files {

class SignalShield {
 public:
  SignalShield();
  ~SignalShield();
  SignalShield(const SignalShield&) = delete;
  SignalShield& operator=(const SignalShield&) = delete;

 private:
  sigset_t shielded_;
  sigset_t previousMask_;
  sigset_t pendingBefore_;
};

}  // namespace skein10::files

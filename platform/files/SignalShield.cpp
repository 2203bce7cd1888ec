#include "platform/files/SignalShield.h"

#include <pthread.h>

#include <ctime>
#include <initializer_list>

namespace skein10::files {

SignalShield::SignalShield() {
  sigemptyset(&shielded_);
  sigaddset(&shielded_, SIGPIPE);
  sigaddset(&shielded_, SIGXFSZ);
  pthread_sigmask(SIG_BLOCK, &shielded_, &previousMask_);
  sigpending(&pendingBefore_);
}

SignalShield::~SignalShield() {
  sigset_t pending;
  sigpending(&pending);
  const timespec now{0, 0};
  for (int signal : {SIGPIPE, SIGXFSZ}) {
    if (sigismember(&pending, signal) == 1 && sigismember(&pendingBefore_, signal) != 1) {
      sigset_t one;
      sigemptyset(&one);
      sigaddset(&one, signal);
      sigtimedwait(&one, nullptr, &now);
    }
  }
  pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
}

}  // namespace skein10::files

#include "host/Interruption.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "skein10/Error.h"

namespace skein10::host {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t signalled = 0;

extern "C" void noteSignal(int number) { signalled = number; }

struct sigaction previous[std::size(kSignals)] {};

}  // namespace

Interruption::Interruption() {
  struct sigaction action {};
  action.sa_handler = noteSignal;
  sigemptyset(&action.sa_mask);
  for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &action, &previous[i]);
  timer_.onTimer = [] { check(); };
  timer_.setInterval(kCheckMilliseconds);
  timer_.setEnabled(true);
}

Interruption::~Interruption() {
  timer_.setEnabled(false);
  for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &previous[i], nullptr);
}

bool Interruption::requested() { return signalled != 0; }

int Interruption::signal() { return signalled; }

void Interruption::check() {
  if (requested()) throw Error(18, kRuntimeSource, u"Interrupted");
}

CommandFailure Interruption::failure(const std::string& what) {
  const int number = signal();
  return CommandFailure(128 + number, what + ": interrupted by SIG" + ::sigabbrev_np(number) + "; the session was closed",
                        number);
}

void Interruption::endBy(int number) {
  std::fflush(nullptr);
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  sigaction(number, &fallback, nullptr);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, number);
  sigprocmask(SIG_UNBLOCK, &only, nullptr);
  std::raise(number);
  // Not reached for the signals handled here, whose default action ends the process.
  std::_Exit(128 + number);
}

}  // namespace skein10::host

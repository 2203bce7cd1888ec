#include "host/Interruption.h"

#include <csignal>

#include "skein10/Error.h"

namespace skein10::host {
namespace {

volatile std::sig_atomic_t signalled = 0;

extern "C" void noteSignal(int) { signalled = 1; }

struct sigaction previousInterrupt {};
struct sigaction previousTerminate {};

void install(int signal, struct sigaction* previous) {
  struct sigaction action {};
  action.sa_handler = noteSignal;
  sigemptyset(&action.sa_mask);
  sigaction(signal, &action, previous);
}

}  // namespace

Interruption::Interruption() {
  install(SIGINT, &previousInterrupt);
  install(SIGTERM, &previousTerminate);
  timer_.onTimer = [] { check(); };
  timer_.setInterval(kCheckMilliseconds);
  timer_.setEnabled(true);
}

Interruption::~Interruption() {
  timer_.setEnabled(false);
  sigaction(SIGINT, &previousInterrupt, nullptr);
  sigaction(SIGTERM, &previousTerminate, nullptr);
}

bool Interruption::requested() { return signalled != 0; }

void Interruption::check() {
  if (requested()) throw Error(18, kRuntimeSource, u"Interrupted");
}

}  // namespace skein10::host

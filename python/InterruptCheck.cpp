#include "python/InterruptCheck.h"

#include <pythread.h>

#include "python/PendingException.h"
#include "skein10/Events.h"

namespace skein10::python {
namespace py = pybind11;
namespace {

unsigned long mainThread = 0;

void checkSignals() {
  py::gil_scoped_acquire gil;
  if (PyErr_CheckSignals() != 0) throw PendingException::keepCurrent();
}

// The main thread's timer, made on its first wait.
Timer& mainTimer() {
  static Timer timer;
  static const bool prepared = [] {
    timer.onTimer = checkSignals;
    timer.setInterval(InterruptCheck::kMilliseconds);
    return true;
  }();
  (void)prepared;
  return timer;
}

}  // namespace

void InterruptCheck::noteMainThread() {
  mainThread = py::module_::import("threading").attr("main_thread")().attr("ident").cast<unsigned long>();
}

InterruptCheck::Scope::Scope() : active_(PyThread_get_thread_ident() == mainThread) {
  if (active_) mainTimer().setEnabled(true);
}

InterruptCheck::Scope::~Scope() {
  if (active_) mainTimer().setEnabled(false);
}

}  // namespace skein10::python

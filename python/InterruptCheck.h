#pragma once
// Ctrl-C while the main thread waits in a member. Python's own SIGINT
// handler only notes the signal; its KeyboardInterrupt is raised when the
// thread runs Python code again, which a waiting member does not. While a
// member of the main thread waits, a timer on its event loop looks every
// 50 ms: it runs the noted signal handlers (PyErr_CheckSignals), and an
// exception they raise ends the member, which unwinds as after any failure.

#include <pybind11/pybind11.h>

namespace skein10::python {

class InterruptCheck {
 public:
  static constexpr int kMilliseconds = 50;

  // Notes which thread is Python's main thread (at import).
  static void noteMainThread();

  // Looks for signals while it lives, on the main thread only (the GIL may
  // be released meanwhile).
  class Scope {
   public:
    Scope();
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    bool active_;
  };
};

}  // namespace skein10::python

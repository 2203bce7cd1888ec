#pragma once
// skein10.every(seconds, callback): the callback runs on the calling thread
// every `seconds` while that thread pumps its events, that is while it waits
// in a member or runs skein10.pump(). An exception the callback raises ends
// the waiting member (which unwinds as after any failure) and reaches the
// member's caller unchanged. The returned handle cancels it; until then it
// keeps running, whether the handle is kept or not.

#include <pybind11/pybind11.h>

#include <memory>
#include <thread>

#include "skein10/Events.h"

namespace skein10::python {

namespace py = pybind11;

class PeriodicCallback : public std::enable_shared_from_this<PeriodicCallback> {
 public:
  PeriodicCallback(double seconds, py::function callback);
  ~PeriodicCallback();
  PeriodicCallback(const PeriodicCallback&) = delete;
  PeriodicCallback& operator=(const PeriodicCallback&) = delete;

  static std::shared_ptr<PeriodicCallback> start(double seconds, py::function callback);
  static void define(py::module_& module);

  // Stops it for good; on its own thread only. Cancelling twice does nothing.
  void cancel();
  bool active() const { return timer_.Enabled(); }

 private:
  void run();

  Timer timer_;
  py::object callback_;
  std::thread::id home_;
};

}  // namespace skein10::python

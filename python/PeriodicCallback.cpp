#include "python/PeriodicCallback.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "python/ErrorTranslation.h"
#include "python/PendingException.h"

namespace skein10::python {
namespace {

// The thread's running callbacks, so that one runs on after its handle is
// dropped. When the thread ends they end too; their Python callbacks are
// let go with the GIL, or not at all once the interpreter is gone.
struct Running {
  std::vector<std::shared_ptr<PeriodicCallback>> callbacks;
  ~Running() {
    if (!Py_IsInitialized() || callbacks.empty()) return;
    PyGILState_STATE state = PyGILState_Ensure();
    callbacks.clear();
    PyGILState_Release(state);
  }
};

Running& running() {
  thread_local Running list;
  return list;
}

int32_t milliseconds(double seconds) {
  if (!(seconds > 0) || seconds * 1000 > 2147483647.0)
    throw py::value_error("every() needs a number of seconds above 0");
  return std::max<int32_t>(1, static_cast<int32_t>(std::lround(seconds * 1000)));
}

}  // namespace

PeriodicCallback::PeriodicCallback(double seconds, py::function callback)
    : callback_(std::move(callback)), home_(std::this_thread::get_id()) {
  timer_.setInterval(milliseconds(seconds));
  timer_.onTimer = [this] { run(); };
}

PeriodicCallback::~PeriodicCallback() {
  // Let go without the GIL (at the thread's end, after the interpreter's):
  // never touch Python then.
  if (!Py_IsInitialized()) callback_.release();
}

std::shared_ptr<PeriodicCallback> PeriodicCallback::start(double seconds, py::function callback) {
  auto made = std::make_shared<PeriodicCallback>(seconds, std::move(callback));
  made->timer_.setEnabled(true);
  running().callbacks.push_back(made);
  return made;
}

void PeriodicCallback::run() {
  py::gil_scoped_acquire gil;
  const auto keep = shared_from_this();  // the callback may cancel itself
  try {
    callback_();
  } catch (py::error_already_set& e) {
    e.restore();
    throw PendingException::keepCurrent();
  }
}

void PeriodicCallback::cancel() {
  if (std::this_thread::get_id() != home_) raiseError(Error::runtime(errc::WrongThread));
  timer_.setEnabled(false);
  auto& list = running().callbacks;
  std::erase_if(list, [this](const auto& c) { return c.get() == this; });
}

void PeriodicCallback::define(py::module_& module) {
  py::class_<PeriodicCallback, std::shared_ptr<PeriodicCallback>>(
      module, "Every", "A callback that skein10.every() runs; cancel() stops it, and so does a with block's end.")
      .def("cancel", &PeriodicCallback::cancel)
      .def_property_readonly("active", &PeriodicCallback::active)
      .def("__enter__", [](py::object self) { return self; })
      .def("__exit__", [](PeriodicCallback& c, py::handle, py::handle, py::handle) {
        c.cancel();
        return false;
      });
  module.def("every", &PeriodicCallback::start, py::arg("seconds"), py::arg("callback"));
}

}  // namespace skein10::python

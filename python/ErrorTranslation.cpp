#include "python/ErrorTranslation.h"

#include "python/ValueConversion.h"

namespace skein10::python {
namespace {

const char* kindName(FailureKind kind) {
  switch (kind) {
    case FailureKind::Unclassified: return "Unclassified";
    case FailureKind::TimedOut: return "TimedOut";
    case FailureKind::HostNotFound: return "HostNotFound";
    case FailureKind::Connection: return "Connection";
    case FailureKind::Tls: return "Tls";
    case FailureKind::ServerReply: return "ServerReply";
    case FailureKind::DataConnection: return "DataConnection";
    case FailureKind::LocalFile: return "LocalFile";
    case FailureKind::WrongThread: return "WrongThread";
  }
  return "Unclassified";
}

py::object textOrNone(const String& text) { return text.empty() ? py::object(py::none()) : fromText(text); }

}  // namespace

void raiseError(const Error& error) {
  const Failure& failure = error.failure();
  py::object exception = py::module_::import("skein10._errors")
                             .attr("_make")(error.number(), fromText(error.source()), fromText(error.description()),
                                            py::str(error.what()), kindName(failure.kind),
                                            textOrNone(failure.command), textOrNone(failure.reply));
  PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(exception.ptr())), exception.ptr());
  throw py::error_already_set();
}

}  // namespace skein10::python

#pragma once
// Crossing the binary boundary in both directions.
//
// Inside a component, code throws skein10::Error. A member that is called
// across the boundary runs its body through guarded(): the body's result goes
// to the out-parameter, or on failure the out-parameter gets the empty value
// of its type, the error goes to the thread's error info and the status says
// Failed. A host turns a status back into an exception with check().

#include <new>
#include <type_traits>
#include <utility>

#include "skein10/Error.h"
#include "skein10/ErrorInfo.h"
#include "skein10/Status.h"

namespace skein10 {

namespace detail {
inline Status fail(const Error& error) {
  setErrorInfo(error);
  return Status::Failed;
}
// Maps whatever escaped a member body to the error the caller sees.
inline Status failCurrent() {
  try {
    throw;
  } catch (const Error& e) {
    return fail(e);
  } catch (const std::bad_alloc&) {
    return fail(Error::runtime(errc::OutOfMemory));
  } catch (const std::exception& e) {
    return fail(Error(errc::InternalError, kRuntimeSource, fromUtf8(e.what())));
  } catch (...) {
    return fail(Error::runtime(errc::InternalError));
  }
}
}  // namespace detail

// Runs a member body that returns nothing.
template <class Body>
Status guarded(Body&& body) noexcept {
  try {
    std::forward<Body>(body)();
    return Status::Ok;
  } catch (...) {
    return detail::failCurrent();
  }
}

// Runs a member body whose result goes to *out.
template <class Result, class Body>
Status guarded(Result* out, Body&& body) noexcept {
  try {
    *out = std::forward<Body>(body)();
    return Status::Ok;
  } catch (...) {
    *out = Result{};
    return detail::failCurrent();
  }
}

// The error a failed status left on this thread.
inline Error takeError() {
  auto error = errorInfo();
  clearErrorInfo();
  return error ? *error : Error::runtime(errc::InternalError);
}

// Throws the thread's error when a call failed.
inline void check(Status status) {
  if (status != Status::Ok) throw takeError();
}

}  // namespace skein10

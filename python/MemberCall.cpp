#include "python/MemberCall.h"

#include <optional>

#include "python/ErrorTranslation.h"
#include "python/InterruptCheck.h"
#include "python/PendingException.h"
#include "python/ValueConversion.h"
#include "skein10/Boundary.h"

namespace skein10::python {

void runWaiting(const std::function<void()>& body) {
  std::optional<Error> failure;
  {
    py::gil_scoped_release released;
    const InterruptCheck::Scope interruptible;
    try {
      body();
    } catch (const Error& error) {
      failure = error;
    }
  }
  PendingException::raiseIfAny();
  if (failure) raiseError(*failure);
}

py::object invokeMember(const ObjectRef& object, DispId id, InvokeKind kind, std::vector<Variant> args) {
  Variant result;
  runWaiting([&] { check(object->Invoke(id, kind, args, &result)); });
  return fromVariant(result);
}

}  // namespace skein10::python

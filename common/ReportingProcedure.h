#pragma once
// Report and resume: a procedure that runs each statement through step().
// A statement that fails with a runtime error is reported once to the
// framework's error report under the procedure's location, and the procedure
// goes on with its next statement. When the report itself fails, that error
// leaves step() and so ends the procedure; its caller gets it.

#include <utility>

#include "skein10/Error.h"
#include "skein10/String.h"

namespace skein10 {

class ReportingProcedure {
 public:
  // location: the name constant or module name, ".", the procedure name.
  explicit ReportingProcedure(String location) : location_(std::move(location)) {}

  template <class Statement>
  void step(Statement&& statement) const {
    try {
      std::forward<Statement>(statement)();
    } catch (const Error& error) {
      report(error);
    }
  }

  const String& location() const noexcept { return location_; }

 private:
  void report(const Error& error) const;

  String location_;
};

}  // namespace skein10

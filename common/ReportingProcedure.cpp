#include "common/ReportingProcedure.h"

#include "common/App.h"
#include "common/basKvcoreCommonA.h"
#include "platform/automation/ErrObject.h"

namespace skein10 {

void ReportingProcedure::report(const Error& error) const {
  ErrorHandlerMessageKv_Pro(theApp(), makeRef<ErrObject>(error), String(), location_, 0, String(),
                            0);
}

}  // namespace skein10

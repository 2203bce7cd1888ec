#pragma once
// The framework's error report: one line on standard error per report.

#include <cstdint>

#include "skein10/Object.h"
#include "skein10/TypeInfo.h"

namespace kvmarrow10 {

class clsKvcoreErrorHandlerA final : public skein10::Object {
 public:
  // app: the reporting library's application object; errorObject: the
  // runtime's error object (Number, Source, Description read late-bound);
  // location: where the error was caught. The other arguments are accepted
  // and not used.
  skein10::Status ErrorHandlerMessageKv(const skein10::ObjectRef& app,
                                        const skein10::ObjectRef& errorObject,
                                        const skein10::String& text3,
                                        const skein10::String& location, const int32_t& number5,
                                        const skein10::String& text6, const int32_t& number7,
                                        skein10::Variant optional8);

  const skein10::InterfaceInfo& interfaceInfo() const override;
};

}  // namespace kvmarrow10

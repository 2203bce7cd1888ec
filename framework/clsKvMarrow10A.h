#pragma once
// The framework's about box: the application object's identity on standard
// output.

#include "skein10/Object.h"
#include "skein10/TypeInfo.h"

namespace kvmarrow10 {

class clsKvMarrow10A final : public skein10::Object {
 public:
  // app: the application object whose product name, version, publisher texts
  // and folder are shown (read late-bound).
  skein10::Status AppAboutKvcore(skein10::ObjectRef app);

  const skein10::InterfaceInfo& interfaceInfo() const override;
};

}  // namespace kvmarrow10

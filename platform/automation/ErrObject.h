#pragma once
// The runtime's error object: a caught error handed on as an object that is
// read late-bound (Number, Source, Description).

#include "skein10/Error.h"
#include "skein10/Object.h"
#include "skein10/TypeInfo.h"
#include "platform/Export.h"

namespace skein10 {

class SKEIN10_INTERNAL_API ErrObject : public Object {
 public:
  explicit ErrObject(Error error) : error_(std::move(error)) {}

  const Error& error() const noexcept { return error_; }

  Status get_Number(int32_t* result);
  Status get_Source(String* result);
  Status get_Description(String* result);

  const InterfaceInfo& interfaceInfo() const override;

 private:
  Error error_;
};

}  // namespace skein10

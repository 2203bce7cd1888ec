#pragma once
// The library's application object: the identity and version of the library
// itself (not of the host that loaded it), read late-bound.

#include <cstdint>

#include "skein10/Object.h"
#include "skein10/TypeInfo.h"

namespace skein10 {

class App final : public Object {
 public:
  Status get_EXEName(String* result);
  Status get_Path(String* result);
  Status get_Major(int16_t* result);
  Status get_Minor(int16_t* result);
  Status get_Revision(int16_t* result);
  Status get_Comments(String* result);
  Status get_CompanyName(String* result);
  Status get_FileDescription(String* result);
  Status get_ProductName(String* result);
  Status get_LegalTrademarks(String* result);
  Status get_LegalCopyright(String* result);

  const InterfaceInfo& interfaceInfo() const override;
};

// This thread's application object (created on the thread's first use and
// released with the thread's module data).
ObjectRef theApp();

}  // namespace skein10

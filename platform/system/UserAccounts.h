#pragma once
// Where the current user's profile folder comes from.

#include <optional>
#include <string>
#include "platform/Export.h"

namespace skein10::os {

class SKEIN10_INTERNAL_API UserAccounts {
 public:
  virtual ~UserAccounts() = default;
  // The home folder of the process's effective user (in the locale's
  // encoding), or nothing when the account can't be found.
  virtual std::optional<std::string> homeOfEffectiveUser() const = 0;
};

}  // namespace skein10::os

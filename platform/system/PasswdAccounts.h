#pragma once
// The account database (getpwuid_r): the home folder recorded for the
// effective user, whatever $HOME says.

#include "platform/system/UserAccounts.h"
#include "platform/Export.h"

namespace skein10::os {

class SKEIN10_INTERNAL_API PasswdAccounts final : public UserAccounts {
 public:
  std::optional<std::string> homeOfEffectiveUser() const override;
};

}  // namespace skein10::os

#pragma once
// An account database that knows one home folder (or none).

#include <optional>
#include <string>

#include "platform/system/UserAccounts.h"

namespace skein10::test {

class FakeAccounts final : public os::UserAccounts {
 public:
  explicit FakeAccounts(std::optional<std::string> home) : home_(std::move(home)) {}
  std::optional<std::string> homeOfEffectiveUser() const override { return home_; }

 private:
  std::optional<std::string> home_;
};

}  // namespace skein10::test

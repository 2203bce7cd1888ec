#pragma once
// An environment variable changed for the lifetime of an object.

#include <optional>
#include <string>

namespace skein10::test {

class ScopedEnvironment {
 public:
  // Sets `name` to `value`, or unsets it for nullptr; the destructor gives
  // it back the value it had (or unsets it again).
  ScopedEnvironment(const char* name, const char* value);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

}  // namespace skein10::test

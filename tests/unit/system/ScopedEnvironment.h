#pragma once
// An environment variable changed for one test.

#include <cstdlib>
#include <string>

namespace skein10::testing {

// Sets (or with nullptr unsets) an environment variable for the lifetime of
// the object.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old, hadOld_ = true;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnvironment() { hadOld_ ? setenv(name_.c_str(), old_.c_str(), 1) : unsetenv(name_.c_str()); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::string name_;
  std::string old_;
  bool hadOld_ = false;
};

}  // namespace skein10::testing

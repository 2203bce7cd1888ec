#include "ScopedEnvironment.h"

#include <cstdlib>

namespace skein10::test {
namespace {

void put(const char* name, const char* value) { value ? ::setenv(name, value, 1) : ::unsetenv(name); }

}  // namespace

ScopedEnvironment::ScopedEnvironment(const char* name, const char* value) : name_(name) {
  if (const char* old = std::getenv(name)) old_ = old;
  put(name, value);
}

ScopedEnvironment::~ScopedEnvironment() { put(name_.c_str(), old_ ? old_->c_str() : nullptr); }

}  // namespace skein10::test

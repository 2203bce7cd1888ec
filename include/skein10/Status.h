#pragma once
// The status every member call returns at the binary boundary.

#include <cstdint>

namespace skein10 {

enum class [[nodiscard]] Status : int32_t {
  Ok = 0,
  Failed = 1,  // the calling thread's error info holds the error
  False = 2,   // a yes/no query answered no (DllCanUnloadNow)
};

}  // namespace skein10

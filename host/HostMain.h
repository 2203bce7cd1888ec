#pragma once
// The `skein10` program: picks the command, runs it and turns its outcome
// into the exit status.
//
//   0  success
//   1  an error, printed as "skein10: error NUMBER (SOURCE): DESCRIPTION"
//   2  a usage mistake, printed with the command's usage

#include <string>
#include <vector>

namespace skein10::host {

inline constexpr int kExitError = 1;
inline constexpr int kExitUsage = 2;

// `words` are the arguments after the program name.
int runHost(std::vector<std::string> words);

}  // namespace skein10::host

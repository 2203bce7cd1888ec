#pragma once
// The `skein10` program: picks the command, runs it and turns its outcome
// into the exit status (ExitCodes.h).
//
//   0  success
//   1  an error, printed as "skein10: error NUMBER (SOURCE): DESCRIPTION"
//   2  a usage mistake, printed with the command's usage
//   6, 7, 9, 23, 26, 28, 67, 78, 130: what failed in an ftp session

#include <string>
#include <vector>

namespace skein10::host {

// `words` are the arguments after the program name.
int runHost(std::vector<std::string> words);

}  // namespace skein10::host

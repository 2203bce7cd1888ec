#pragma once
// The `skein10` program: picks the command, runs it and turns its outcome
// into the exit status (ExitCodes.h).
//
//   0  success
//   1  an error, printed as "skein10: error NUMBER (SOURCE): DESCRIPTION"
//   2  a usage mistake, printed with the command's usage
//   6, 7, 9, 23, 26, 28, 35, 64, 67, 77, 78: what failed in an ftp session
//   23 too when standard output could not be written (closed early, a full
//   disk), reported after the command: SIGPIPE is ignored
// An ftp session ended by SIGINT, SIGTERM or SIGHUP ends the program by that
// signal once the session is closed.

#include <string>
#include <vector>

namespace skein10::host {

// `words` are the arguments after the program name.
int runHost(std::vector<std::string> words);

}  // namespace skein10::host

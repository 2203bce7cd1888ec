#pragma once
// The host's help: the man-style overview (`skein10 --help`), each command's
// page (`skein10 COMMAND --help`) and the short usage shown after a mistake,
// all printed from one table: each command's synopsis, description and
// examples, the environment variables and the exit statuses.

#include <ostream>
#include <string_view>

namespace skein10::host {

// The whole manual page.
void printManual(std::ostream& out);
// The page of one command; false when there is no such command.
bool printCommandHelp(std::string_view command, std::ostream& out);
// The synopsis of one command (or of every command when `command` is empty
// or unknown) and where to read more.
void printUsage(std::string_view command, std::ostream& out);

}  // namespace skein10::host

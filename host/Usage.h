#pragma once
// The host's help as text: the whole manual (`skein10 --help`), each
// command's page (`skein10 COMMAND --help`) and the short usage shown after
// a mistake, printed from the help document (HelpDocument.h) that the manual
// page is made from too. Paragraphs are filled to 80 columns.

#include <ostream>
#include <string_view>

namespace skein10::host {

// The whole manual; FILES names the installed class store the runtime reads.
void printManual(std::ostream& out);
// The page of one command; false when there is no such command.
bool printCommandHelp(std::string_view command, std::ostream& out);
// The synopsis of one command (or of every command when `command` is empty
// or unknown) and where to read more.
void printUsage(std::string_view command, std::ostream& out);

}  // namespace skein10::host

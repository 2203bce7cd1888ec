#pragma once
// The manual page skein10(1) in the man macros of roff, written from the
// same help document as `skein10 --help` (HelpDocument.h). The build writes
// it with the program skein10_manpage (ManPageMain.cpp), and installs it
// compressed as share/man/man1/skein10.1.gz.

#include <ostream>
#include <string>
#include <string_view>

namespace skein10::host {

struct ManPageTitle {
  std::string version;         // "1.0.94"
  std::string date;            // the release's date, "11 Dec 2026"
  std::string installedStore;  // the installed class store's path
};

void writeManPage(std::ostream& out, const ManPageTitle& title);

// One line of text as roff input: backslashes and minus signs escaped, and
// a leading "." or "'" kept from being read as a request.
std::string roffText(std::string_view line);

}  // namespace skein10::host

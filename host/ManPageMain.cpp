// skein10_manpage VERSION DATE INSTALLED_STORE: writes the manual page
// skein10(1) to standard output. The build runs it; it is not installed.
#include <iostream>

#include "host/ManPage.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: skein10_manpage VERSION DATE INSTALLED_STORE\n";
    return 2;
  }
  skein10::host::writeManPage(std::cout, {argv[1], argv[2], argv[3]});
  std::cout.flush();
  return std::cout ? 0 : 1;
}

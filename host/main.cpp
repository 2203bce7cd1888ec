#include <csignal>
#include <string>
#include <vector>

#include "host/HostMain.h"
#include "host/Passwords.h"

int main(int argc, char** argv) {
  std::vector<std::string> words(argv + 1, argv + argc);
  skein10::host::hidePasswords(argc, argv);
  // A closed standard output (`skein10 ... | head`) shows as a failed write,
  // which the host reports after closing what it opened, instead of ending
  // the program at once.
  std::signal(SIGPIPE, SIG_IGN);
  return skein10::host::runHost(std::move(words));
}

#include <string>
#include <vector>

#include "host/HostMain.h"

int main(int argc, char** argv) {
  return skein10::host::runHost(std::vector<std::string>(argv + 1, argv + argc));
}

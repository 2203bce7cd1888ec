// Creates a class of the registered library by ProgID and prints the name of
// its interface.
#include <iostream>

#include <skein10/Automation.h>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  try {
    const skein10::ObjectRef object = skein10::CreateObject(skein10::fromUtf8(argv[1]));
    std::cout << skein10::toUtf8(object->interfaceInfo().name) << "\n";
    return 0;
  } catch (const skein10::Error& error) {
    std::cerr << error.what() << "\n";
    return 1;
  }
}

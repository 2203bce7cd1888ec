// A host program of another project that uses Asio itself, with its own
// configuration, next to the installed runtime: creates a class of the
// registered library by ProgID and prints the name of its interface, after an
// Asio timer of its own has run.
#include <asio/io_context.hpp>
#include <asio/steady_timer.hpp>
#include <chrono>
#include <iostream>

#include <skein10/Automation.h>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  asio::io_context io;
  asio::steady_timer timer(io, std::chrono::milliseconds(1));
  bool ticked = false;
  timer.async_wait([&](const asio::error_code&) { ticked = true; });
  io.run();
  if (!ticked) return 3;
  try {
    const skein10::ObjectRef object = skein10::CreateObject(skein10::fromUtf8(argv[1]));
    std::cout << skein10::toUtf8(object->interfaceInfo().name) << "\n";
    return 0;
  } catch (const skein10::Error& error) {
    std::cerr << error.what() << "\n";
    return 1;
  }
}

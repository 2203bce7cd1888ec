#pragma once
// A file descriptor, closed when the object goes.

#include <unistd.h>

namespace skein10::host {

struct Descriptor {
  explicit Descriptor(int opened) : fd(opened) {}
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int fd;  // -1 when none
};

}  // namespace skein10::host

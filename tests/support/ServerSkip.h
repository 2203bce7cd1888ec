#pragma once
// Skips the running test, with the reason, when a real server it needs can't
// run here: the plain CMake flow may lack one (proftpd is only unpacked by
// ./run, its package conflicting with vsftpd's).

#include <gtest/gtest.h>

#define SKEIN10_SKIP_WITHOUT(Server)                                      \
  do {                                                                    \
    if (const auto why = Server::unavailable()) GTEST_SKIP() << *why;     \
  } while (false)

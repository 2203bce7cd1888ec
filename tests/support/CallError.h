#pragma once
// What a failed call through the boundary left: its status said Failed and
// the thread's error info holds the error.

#include "skein10/Boundary.h"
#include "skein10/Error.h"

namespace skein10::test {

// The error a failed call left; fails the test when the call succeeded.
Error errorOf(Status status);

// The FTP session error's description, when the call failed with it (number
// 8, source "FTP Command"); fails the test otherwise.
String sessionErrorOf(Status status);

}  // namespace skein10::test

#pragma once
// The runtime's internal classes that the project's own component libraries
// and tests reach (sockets, the event loop, numbered files, the registration
// store, the system stand-ins). They are exported from libskein10rt like the
// public API, so that libskein10.so, libkvmarrow10.so and the tests link them,
// but their headers are not installed: hosts see only <skein10/...>.
// SKEIN10_INTERNAL_API marks them, so the two kinds stay apart in the source.

#if defined(__GNUC__) || defined(__clang__)
#define SKEIN10_INTERNAL_API __attribute__((visibility("default")))
#else
#define SKEIN10_INTERNAL_API
#endif

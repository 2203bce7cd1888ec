#pragma once
// What the runtime library exports. The runtime is built with hidden
// visibility; SKEIN10_API marks each class and function of the public headers,
// the API hosts link against. Everything else in libskein10rt stays private to
// it, apart from the project's internal classes (platform/Export.h).

#if defined(__GNUC__) || defined(__clang__)
#define SKEIN10_API __attribute__((visibility("default")))
#else
#define SKEIN10_API
#endif

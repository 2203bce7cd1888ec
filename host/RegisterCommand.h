#pragma once
// `skein10 register` and `skein10 unregister`: the component libraries'
// entries in the registration store.

#include <filesystem>
#include <vector>

#include "host/CommandLine.h"

namespace skein10::host {

// The libraries built and installed with the host, libskein10.so and
// libkvmarrow10.so, in the first of `folders` that holds libskein10.so
// (the first folder when none does, so the error names a real place).
std::vector<std::filesystem::path> builtLibraries(const std::vector<std::filesystem::path>& folders);

// Where the component libraries are for this executable: lib/skein10 in the
// build tree, and LIBDIR/skein10 of the installed layout.
std::vector<std::filesystem::path> libraryFolders();

int runRegister(CommandLine& words);
int runUnregister(CommandLine& words);

}  // namespace skein10::host

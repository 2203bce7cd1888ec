#include "host/RegisterCommand.h"

#include <iostream>

#include "host/UsageError.h"
#include "skein10/Component.h"

#ifndef SKEIN10_BUILT_COMPONENTS_FROM_BINDIR
#define SKEIN10_BUILT_COMPONENTS_FROM_BINDIR "../lib/skein10"
#endif
#ifndef SKEIN10_INSTALLED_COMPONENTS_FROM_BINDIR
#define SKEIN10_INSTALLED_COMPONENTS_FROM_BINDIR SKEIN10_BUILT_COMPONENTS_FROM_BINDIR
#endif

namespace skein10::host {
namespace fs = std::filesystem;
namespace {

std::vector<fs::path> chosenLibraries(CommandLine& words) {
  std::vector<fs::path> libraries;
  while (words.atOption()) {
    const std::string option = words.take("option");
    if (option != "--library") throw UsageError("unknown option '" + option + "'");
    libraries.emplace_back(words.takeValue(option));
  }
  words.expectEnd();
  return libraries.empty() ? builtLibraries(libraryFolders()) : libraries;
}

int forEachLibrary(CommandLine& words, void (*action)(const fs::path&), const char* done) {
  for (const fs::path& library : chosenLibraries(words)) {
    action(library);
    std::cout << done << " " << library.string() << "\n";
  }
  return 0;
}

}  // namespace

std::vector<fs::path> libraryFolders() {
  const fs::path programFolder = fs::read_symlink("/proc/self/exe").parent_path();
  std::vector<fs::path> folders{(programFolder / SKEIN10_BUILT_COMPONENTS_FROM_BINDIR).lexically_normal()};
  const fs::path installed = (programFolder / SKEIN10_INSTALLED_COMPONENTS_FROM_BINDIR).lexically_normal();
  if (installed != folders.front()) folders.push_back(installed);
  return folders;
}

std::vector<fs::path> builtLibraries(const std::vector<fs::path>& folders) {
  fs::path chosen = folders.front();
  for (const fs::path& folder : folders) {
    std::error_code ignored;
    if (fs::exists(folder / "libskein10.so", ignored)) {
      chosen = folder;
      break;
    }
  }
  return {chosen / "libskein10.so", chosen / "libkvmarrow10.so"};
}

int runRegister(CommandLine& words) { return forEachLibrary(words, registerLibrary, "registered"); }

int runUnregister(CommandLine& words) { return forEachLibrary(words, unregisterLibrary, "unregistered"); }

}  // namespace skein10::host

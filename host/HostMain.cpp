#include "host/HostMain.h"

#include <array>
#include <iostream>
#include <string_view>

#include "host/AboutCommand.h"
#include "host/BrowserCommand.h"
#include "host/CacheCommand.h"
#include "host/CallCommand.h"
#include "host/CommandLine.h"
#include "host/FtpCommand.h"
#include "host/RegisterCommand.h"
#include "host/Usage.h"
#include "host/UsageError.h"
#include "skein10/Error.h"

namespace skein10::host {
namespace {

struct Command {
  std::string_view name;
  int (*run)(CommandLine&);
};

constexpr std::array kCommands{
    Command{"register", runRegister}, Command{"unregister", runUnregister}, Command{"call", runCall},
    Command{"ftp", runFtp},           Command{"browser", runBrowser},       Command{"cache", runCache},
    Command{"about", runAbout},
};

const Command* find(std::string_view name) {
  for (const Command& command : kCommands)
    if (command.name == name) return &command;
  return nullptr;
}

bool isHelp(std::string_view word) { return word == "--help" || word == "-h"; }

int usageMistake(std::string_view command, const std::string& message) {
  std::cerr << "skein10: " << message << "\n";
  printUsage(command, std::cerr);
  return kExitUsage;
}

int failed(const std::string& what) {
  std::cout.flush();
  std::cerr << "skein10: " << what << "\n";
  return kExitError;
}

int runCommand(const Command& command, CommandLine& words) {
  try {
    return command.run(words);
  } catch (const UsageError& mistake) {
    return usageMistake(command.name, mistake.what());
  } catch (const Error& error) {
    return failed(error.what());
  } catch (const std::exception& error) {
    return failed(Error(errc::InternalError, kRuntimeSource, fromUtf8(error.what())).what());
  }
}

}  // namespace

int runHost(std::vector<std::string> words) {
  if (words.empty()) return usageMistake("", "missing command");
  if (isHelp(words.front())) {
    printManual(std::cout);
    return 0;
  }
  const Command* command = find(words.front());
  if (!command) return usageMistake("", "unknown command '" + words.front() + "'");
  words.erase(words.begin());
  if (!words.empty() && isHelp(words.front())) {
    printCommandHelp(command->name, std::cout);
    return 0;
  }
  CommandLine line(std::move(words));
  return runCommand(*command, line);
}

}  // namespace skein10::host

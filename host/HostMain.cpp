#include "host/HostMain.h"

#include <array>
#include <cstdio>
#include <iostream>
#include <string_view>

#include "host/AboutCommand.h"
#include "host/BrowserCommand.h"
#include "host/CacheCommand.h"
#include "host/CallCommand.h"
#include "host/CommandFailure.h"
#include "host/CommandLine.h"
#include "host/Completion.h"
#include "host/ExitCodes.h"
#include "host/FtpCommand.h"
#include "host/Interruption.h"
#include "host/Passwords.h"
#include "host/RegisterCommand.h"
#include "host/Usage.h"
#include "host/UsageError.h"
#include "skein10/ClassRegistry.h"
#include "skein10/Dispatch.h"
#include "skein10/Error.h"
#include "skein10/Identifiers.h"

#ifndef SKEIN10_HOST_VERSION
#define SKEIN10_HOST_VERSION "unknown"
#endif

namespace skein10::host {
namespace {

struct Command {
  std::string_view name;
  int (*run)(CommandLine&);
};

// `skein10 help [COMMAND]`.
int printHelp(CommandLine& words);

constexpr std::array kCommands{
    Command{"register", runRegister}, Command{"unregister", runUnregister}, Command{"call", runCall},
    Command{"ftp", runFtp},           Command{"browser", runBrowser},       Command{"cache", runCache},
    Command{"about", runAbout},       Command{"help", printHelp},
};

const Command* find(std::string_view name) {
  for (const Command& command : kCommands)
    if (command.name == name) return &command;
  return nullptr;
}

bool isHelp(std::string_view word) { return word == "--help" || word == "-h"; }

int usageMistake(std::string_view command, const std::string& message) {
  std::cerr << "skein10: " << withoutPasswords(message) << "\n";
  printUsage(command, std::cerr);
  return exitcode::kUsage;
}

int failed(const std::string& what, int code = exitcode::kError) {
  std::cout.flush();
  std::cerr << "skein10: " << withoutPasswords(what) << "\n";
  return code;
}

// The host's version, then the library's from its application object.
int printVersions() {
  std::cout << "skein10 " << SKEIN10_HOST_VERSION << " (host)" << std::endl;
  const ObjectRef library = CreateObject(ids::kProgIdKvSkein10A);
  const ObjectRef app = call(*library, u"GetProStdProperties").toObject();
  if (!app) throw Error::runtime(errc::ObjectNotSet);
  std::cout << toUtf8(call(*app, u"EXEName").toString()) << " " << call(*app, u"Major").toLong() << "."
            << call(*app, u"Minor").toLong() << "." << call(*app, u"Revision").toLong() << " (library)\n";
  return exitcode::kOk;
}

int printHelp(CommandLine& words) {
  if (words.empty()) {
    printManual(std::cout);
    return exitcode::kOk;
  }
  const std::string command = words.take("COMMAND");
  words.expectEnd();
  if (!printCommandHelp(command, std::cout)) throw UsageError("no help for '" + command + "': no such command");
  return exitcode::kOk;
}

int runCommand(const Command& command, CommandLine& words) {
  try {
    return command.run(words);
  } catch (const UsageError& mistake) {
    return usageMistake(command.name, mistake.what());
  } catch (const CommandFailure& failure) {
    const int code = failed(failure.what(), failure.exitCode());
    if (failure.signal() != 0) Interruption::endBy(failure.signal());
    return code;
  } catch (const Error& error) {
    return failed(error.what());
  } catch (const std::exception& error) {
    return failed(Error(errc::InternalError, kRuntimeSource, fromUtf8(error.what())).what());
  }
}

// The command's status, unless what it printed could not all be written
// (standard output closed early, a full disk): then 23.
int outputWritten(int code) {
  const bool written = std::cout.flush() && std::fflush(stdout) == 0 && !std::ferror(stdout);
  if (written || code != exitcode::kOk) return code;
  std::cerr << "skein10: failure writing output\n";
  return exitcode::kLocalWrite;
}

int dispatch(std::vector<std::string> words) {
  if (words.empty()) return usageMistake("", "missing command");
  if (isHelp(words.front())) {
    printManual(std::cout);
    return exitcode::kOk;
  }
  if (words.front() == "--complete") {
    // The shell completion's question (not in the help: no one types it).
    CommandLine line({words.begin() + 1, words.end()});
    return runComplete(line);
  }
  if (words.front() == "--version") {
    CommandLine none({});
    return runCommand(Command{"", [](CommandLine&) { return printVersions(); }}, none);
  }
  const Command* command = find(words.front());
  if (!command) return usageMistake("", "unknown command '" + words.front() + "'");
  words.erase(words.begin());
  if (!words.empty() && isHelp(words.front())) {
    printCommandHelp(command->name, std::cout);
    return exitcode::kOk;
  }
  CommandLine line(std::move(words));
  return runCommand(*command, line);
}

}  // namespace

int runHost(std::vector<std::string> words) { return outputWritten(dispatch(std::move(words))); }

}  // namespace skein10::host

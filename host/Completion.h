#pragma once
// Shell completion, answered by the program itself from the help table: the
// synopses of the commands and steps are the grammar (SynopsisGrammar.h),
// their options the options, and what the runtime knows fills the rest
// (the registered ProgIDs, the members of a class). The bash script
// (host/completion/skein10) only asks `skein10 --complete` and adds local
// file or folder names when the answer says so.

#include <functional>
#include <string>
#include <vector>

#include "host/CommandLine.h"

namespace skein10::host {

struct CompletionAnswer {
  // Which local names fit too, each including the one before it.
  enum class Local { None, Folders, Files };
  // The words that fit where the last word is and start with it. Words
  // that start with "-" only when it does.
  std::vector<std::string> words;
  // Local names that fit there too, which the shell adds.
  Local local = Local::None;
};

// Where the completion learns what only the runtime knows.
struct CompletionSources {
  std::function<std::vector<std::string>()> progIds;
  // The callable members of the class PROGID; none when it can't be created.
  std::function<std::vector<std::string>(const std::string& progId)> members;
};

// The registered ProgIDs (registeredProgIds()) and each class's methods
// and readable properties from its type information.
CompletionSources runtimeSources();

// `words` are those after the program's name; the last one is being
// completed (it may be empty).
CompletionAnswer complete(const std::vector<std::string>& words, const CompletionSources& sources);

// `skein10 --complete WORD...`: prints the answer, on its first line
// "files", "folders" or "words" (which local names to add), then one
// candidate a line. Never fails: an answer that can't be had is empty.
int runComplete(CommandLine& words);

}  // namespace skein10::host

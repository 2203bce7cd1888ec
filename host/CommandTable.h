#pragma once
// The `skein10` program's help as data, the one table that `--help`,
// `help COMMAND`, the manual page skein10(1) and the shell completion are
// all made from: each command's synopsis, description, options, steps and
// examples, the program's own options, the exit statuses, the environment
// and the files.
//
// A synopsis is also the grammar the completion reads (SynopsisGrammar.h),
// so its words follow one convention: a word of lower-case letters, digits
// and "-" is written as it stands ("register", "-r", "--library"); words
// joined by "|" are alternatives ("has|add|remove", "PASV|PORT");
// [ ] encloses what may be left out and "..." marks what may be repeated;
// every other word is a placeholder. The placeholder names what the word is:
// LOCAL, FILE and PATH a local file, LOCAL_DIR a local folder, COMMAND a
// command's name, PROGID a registered class, MEMBER a member of it, OPTION
// one of the command's options, STEP one of its steps; any other (URL,
// REMOTE, DIR, MS, ...) stands for a word the completion can't know.

#include <span>
#include <string_view>

namespace skein10::host {

// A command line and what it does.
struct Example {
  std::string_view command;
  std::string_view meaning;
};

// An option: its spellings ("-u, --user"), the placeholder of its value
// ("USER[:PASS]"; empty for an option that takes none) and its meaning.
struct OptionHelp {
  std::string_view names;
  std::string_view value;
  std::string_view meaning;
};

// A step of `skein10 ftp`: its synopsis ("get -r REMOTE_DIR LOCAL_DIR") and
// what it does.
struct StepHelp {
  std::string_view synopsis;
  std::string_view meaning;
};

// A name and what it means: an exit status, an environment variable, a file.
struct Term {
  std::string_view name;
  std::string_view meaning;
};

struct CommandHelp {
  std::string_view name;
  std::string_view synopsis;     // one line per form of the command
  std::string_view description;  // paragraphs, separated by blank lines
  std::span<const OptionHelp> options;
  std::span<const StepHelp> steps;
  std::string_view stepNotes;    // how the steps behave, after their list
  std::string_view details;      // the rest of the description
  std::span<const Example> examples;
};

std::span<const CommandHelp> commandHelp();
// The command of that name; nullptr when there is none.
const CommandHelp* findCommandHelp(std::string_view name);

// "skein10 - ...", the line that names the program.
std::string_view programSummary();
// The synopsis lines of the program itself, after those of its commands.
std::string_view programSynopsis();
std::string_view programDescription();
// The options that stand in place of a command (--help, --version).
std::span<const OptionHelp> programOptions();
std::span<const Term> exitStatuses();
// What follows the exit statuses: the signals and error 429.
std::string_view exitStatusNotes();
std::span<const Term> environmentVariables();
// The files the program reads and writes. The term with an empty name is the
// class store installed with the libraries, whose path depends on where
// they are: the help names the one the runtime reads, the manual page the
// one of the installed layout.
std::span<const Term> files();

}  // namespace skein10::host

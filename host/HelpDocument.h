#pragma once
// The help as a document: sections of paragraphs, lines and definition
// lists, put together from the command table (CommandTable.h) once, and
// printed two ways: as text by `--help` and `help COMMAND` (Usage.h), and as
// the manual page skein10(1) (ManPage.h). So the two say the same.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "host/CommandTable.h"

namespace skein10::host {

struct HelpBlock;

// A term of a definition list and the blocks that explain it.
struct HelpEntry {
  std::string term;
  std::vector<HelpBlock> body;
};

struct HelpBlock {
  enum class Kind {
    Paragraphs,  // text that fills its lines; paragraphs are separated by blank lines
    Lines,       // lines printed as they stand (synopses)
    Entries,     // a definition list, after its title `text` (if any)
  };
  Kind kind = Kind::Paragraphs;
  std::string text;
  std::vector<HelpEntry> entries;
  // Entries: as text, a one-paragraph meaning starts at this column after
  // its term when the term leaves room, and below the term otherwise;
  // 0: the body always goes below its term, indented.
  std::size_t termWidth = 0;
  // Entries: a blank line between entries.
  bool spaced = false;
};

struct HelpSection {
  std::string title;
  std::vector<HelpBlock> blocks;
};

using HelpDocument = std::vector<HelpSection>;

// The whole manual: NAME, SYNOPSIS, DESCRIPTION, COMMANDS, OPTIONS, EXIT
// STATUS, ENVIRONMENT, FILES, EXAMPLES. `installedStore` is the path of the
// class store installed with the libraries.
HelpDocument manualDocument(std::string_view installedStore);

// One command's page: SYNOPSIS, DESCRIPTION, OPTIONS and EXAMPLES (the last
// two when it has any).
HelpDocument commandDocument(const CommandHelp& command);

}  // namespace skein10::host

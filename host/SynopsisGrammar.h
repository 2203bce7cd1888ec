#pragma once
// A synopsis of the help table read as a grammar (the convention is in
// CommandTable.h): the items of one form, such as
//   skein10 ftp [OPTION]... ftp://[USER[:PASS]@]HOST[:PORT][/PATH] [OPTION]... [STEP]...
//   ls [REMOTE_DIR] [-o|--output LOCAL]
// The completion walks them over the words typed so far.

#include <string>
#include <string_view>
#include <vector>

namespace skein10::host {

struct SynopsisItem {
  // A literal: the words it may be ("-o", "--output"). Empty: a placeholder.
  std::vector<std::string> words;
  // The placeholder ("LOCAL", "OPTION"); for a literal, the placeholder of
  // the value that follows it inside the same brackets ("--library PATH"),
  // or empty.
  std::string placeholder;
  bool optional = false;  // in [ ]
  bool repeated = false;  // followed by ...
};

using SynopsisForm = std::vector<SynopsisItem>;

// The items of one synopsis line.
SynopsisForm parseSynopsis(std::string_view line);

// The forms of a synopsis of one or more lines.
std::vector<SynopsisForm> parseSynopses(std::string_view lines);

// The words a placeholder of alternatives stands for ("PASV|PORT"); none
// for any other placeholder.
std::vector<std::string> alternativesOf(std::string_view placeholder);

}  // namespace skein10::host

#include "host/SynopsisGrammar.h"

#include <sstream>

namespace skein10::host {
namespace {

std::vector<std::string> split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  for (std::size_t start = 0;;) {
    const auto end = text.find(separator, start);
    parts.emplace_back(text.substr(start, end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

bool isLiteralWord(std::string_view word) {
  if (word.empty()) return false;
  for (const char c : word)
    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-')) return false;
  return true;
}

// One word of a synopsis: written as it stands, one of alternatives, or a
// placeholder (quotes around it, as in 'PATTERN', only tell the reader to
// quote it).
SynopsisItem itemOf(std::string_view word) {
  SynopsisItem item;
  if (word.ends_with("...")) {
    item.repeated = true;
    word.remove_suffix(3);
  }
  if (word.size() > 2 && word.front() == '\'' && word.back() == '\'') word = word.substr(1, word.size() - 2);
  if (isLiteralWord(word)) {
    item.words.emplace_back(word);
  } else if (word.find('|') != std::string_view::npos && word.front() == '-') {
    item.words = split(word, '|');
  } else {
    item.placeholder = word;
  }
  return item;
}

// The words of one [ ] group: an item, or a literal with the placeholder of
// its value ("[--library PATH]").
SynopsisItem groupOf(const std::vector<std::string>& words, bool repeated) {
  SynopsisItem item = itemOf(words.front());
  if (words.size() > 1 && !item.words.empty()) item.placeholder = words[1];
  item.optional = true;
  item.repeated = item.repeated || repeated;
  return item;
}

}  // namespace

SynopsisForm parseSynopsis(std::string_view line) {
  SynopsisForm form;
  std::istringstream words{std::string(line)};
  std::vector<std::string> group;  // the words of an open [ ] group
  for (std::string word; words >> word;) {
    if (group.empty() && !word.starts_with('[')) {
      form.push_back(itemOf(word));
      continue;
    }
    if (group.empty()) word.erase(0, 1);
    const bool repeated = word.ends_with("]...");
    const bool closes = repeated || word.ends_with(']');
    if (closes) word.erase(word.rfind(']'));
    group.push_back(word);
    if (closes) {
      form.push_back(groupOf(group, repeated));
      group.clear();
    }
  }
  return form;
}

std::vector<SynopsisForm> parseSynopses(std::string_view lines) {
  std::vector<SynopsisForm> forms;
  for (const std::string& line : split(lines, '\n'))
    if (!line.empty()) forms.push_back(parseSynopsis(line));
  return forms;
}

std::vector<std::string> alternativesOf(std::string_view placeholder) {
  if (placeholder.find('|') == std::string_view::npos) return {};
  return split(placeholder, '|');
}

}  // namespace skein10::host

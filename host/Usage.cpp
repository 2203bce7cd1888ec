#include "host/Usage.h"

#include <sstream>

#include "host/CommandTable.h"
#include "host/HelpDocument.h"
#include "skein10/Component.h"

namespace skein10::host {
namespace {

constexpr std::size_t kLineWidth = 80;
constexpr std::size_t kIndent = 4;

// `text` as lines of whole words, at most kLineWidth long where the words
// allow: the first after `first` (a term, or the indentation), the others
// indented by `indent`.
void fill(std::ostream& out, std::string_view text, std::string first, std::size_t indent) {
  std::string line = std::move(first);
  bool hasWord = false;
  std::istringstream words{std::string(text)};
  for (std::string word; words >> word;) {
    if (hasWord && line.size() + 1 + word.size() > kLineWidth) {
      out << line << "\n";
      line.assign(indent, ' ');
      hasWord = false;
    }
    if (hasWord) line += ' ';
    line += word;
    hasWord = true;
  }
  out << line << "\n";
}

// The paragraphs of `text`, each filled, with a blank line between them.
void printParagraphs(std::ostream& out, std::string_view text, std::size_t indent) {
  for (bool first = true; !text.empty(); first = false) {
    const auto end = text.find("\n\n");
    if (!first) out << "\n";
    fill(out, text.substr(0, end), std::string(indent, ' '), indent);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 2);
  }
}

void printLines(std::ostream& out, std::string_view text, std::size_t indent) {
  std::istringstream lines{std::string(text)};
  for (std::string line; std::getline(lines, line);) out << std::string(indent, ' ') << line << "\n";
}

void printBlocks(std::ostream& out, const std::vector<HelpBlock>& blocks, std::size_t indent);

// The term, then its meaning: beside it when the list has a column for
// meanings, the term leaves room and the meaning is one paragraph;
// otherwise below it.
void printEntry(std::ostream& out, const HelpEntry& entry, std::size_t width, std::size_t indent) {
  const bool beside = width > 0 && entry.term.size() + 2 <= width && entry.body.size() == 1 &&
                      entry.body.front().kind == HelpBlock::Kind::Paragraphs;
  const std::string term = std::string(indent, ' ') + entry.term;
  if (beside) {
    fill(out, entry.body.front().text, term + std::string(width - entry.term.size(), ' '), indent + width);
    return;
  }
  out << term << "\n";
  printBlocks(out, entry.body, indent + (width > 0 ? width : kIndent));
}

void printEntries(std::ostream& out, const HelpBlock& block, std::size_t indent) {
  if (!block.text.empty()) out << std::string(indent, ' ') << block.text << "\n";
  bool first = true;
  for (const HelpEntry& entry : block.entries) {
    if (block.spaced && !first) out << "\n";
    printEntry(out, entry, block.termWidth, indent + (block.text.empty() ? 0 : kIndent));
    first = false;
  }
}

void printBlock(std::ostream& out, const HelpBlock& block, std::size_t indent) {
  switch (block.kind) {
    case HelpBlock::Kind::Paragraphs:
      printParagraphs(out, block.text, indent);
      break;
    case HelpBlock::Kind::Lines:
      printLines(out, block.text, indent);
      break;
    case HelpBlock::Kind::Entries:
      printEntries(out, block, indent);
      break;
  }
}

// Blocks with a blank line between them.
void printBlocks(std::ostream& out, const std::vector<HelpBlock>& blocks, std::size_t indent) {
  bool first = true;
  for (const HelpBlock& block : blocks) {
    if (!first) out << "\n";
    printBlock(out, block, indent);
    first = false;
  }
}

void printDocument(std::ostream& out, const HelpDocument& document) {
  bool first = true;
  for (const HelpSection& section : document) {
    if (!first) out << "\n";
    out << section.title << "\n";
    printBlocks(out, section.blocks, kIndent);
    first = false;
  }
}

void printSynopses(std::ostream& out) {
  for (const CommandHelp& help : commandHelp()) printLines(out, help.synopsis, kIndent);
}

}  // namespace

void printManual(std::ostream& out) { printDocument(out, manualDocument(installedRegistryPath().string())); }

bool printCommandHelp(std::string_view command, std::ostream& out) {
  const CommandHelp* help = findCommandHelp(command);
  if (!help) return false;
  printDocument(out, commandDocument(*help));
  return true;
}

void printUsage(std::string_view command, std::ostream& out) {
  out << "usage:\n";
  if (const CommandHelp* help = findCommandHelp(command)) {
    printLines(out, help->synopsis, kIndent);
    out << "Try 'skein10 " << help->name << " --help' for more.\n";
    return;
  }
  printSynopses(out);
  out << "Try 'skein10 --help' for more.\n";
}

}  // namespace skein10::host

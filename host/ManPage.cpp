#include "host/ManPage.h"

#include <sstream>

#include "host/HelpDocument.h"

namespace skein10::host {
namespace {

void writeBlocks(std::ostream& out, const std::vector<HelpBlock>& blocks, int depth);

// A new paragraph: at the margin, or inside a list entry at its indentation.
void newParagraph(std::ostream& out, int depth) { out << (depth == 0 ? ".PP\n" : ".IP\n"); }

// The lines of `text` as roff input; roff fills them.
void writeText(std::ostream& out, std::string_view text) {
  std::istringstream lines{std::string(text)};
  for (std::string line; std::getline(lines, line);) {
    const auto start = line.find_first_not_of(' ');
    if (start != std::string::npos) out << roffText(std::string_view(line).substr(start)) << "\n";
  }
}

// Paragraphs separated by blank lines; the first continues what came before
// it (a section's title, an entry's term) unless `newFirst`.
void writeParagraphs(std::ostream& out, std::string_view text, int depth, bool newFirst) {
  for (bool first = true; !text.empty(); first = false) {
    const auto end = text.find("\n\n");
    if (!first || newFirst) newParagraph(out, depth);
    writeText(out, text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 2);
  }
}

// A definition list: each term in bold, its body indented. Inside another
// list's entry, the list is moved in to that entry's indentation.
void writeEntries(std::ostream& out, const HelpBlock& block, int depth, bool newFirst) {
  if (!block.text.empty()) writeParagraphs(out, block.text, depth, newFirst);
  if (depth > 0) out << ".RS\n";
  for (const HelpEntry& entry : block.entries) {
    out << ".TP\n\\fB" << roffText(entry.term) << "\\fR\n";
    writeBlocks(out, entry.body, depth + 1);
  }
  if (depth > 0) out << ".RE\n";
}

void writeBlock(std::ostream& out, const HelpBlock& block, int depth, bool newFirst) {
  switch (block.kind) {
    case HelpBlock::Kind::Paragraphs:
      writeParagraphs(out, block.text, depth, newFirst);
      break;
    case HelpBlock::Kind::Lines:
      if (newFirst) newParagraph(out, depth);
      out << ".nf\n";
      writeText(out, block.text);
      out << ".fi\n";
      break;
    case HelpBlock::Kind::Entries:
      writeEntries(out, block, depth, newFirst);
      break;
  }
}

void writeBlocks(std::ostream& out, const std::vector<HelpBlock>& blocks, int depth) {
  bool first = true;
  for (const HelpBlock& block : blocks) {
    writeBlock(out, block, depth, !first);
    first = false;
  }
}

}  // namespace

std::string roffText(std::string_view line) {
  std::string text;
  if (line.starts_with('.') || line.starts_with('\'')) text = "\\&";
  for (const char c : line) {
    if (c == '\\') text += "\\e";
    else if (c == '-') text += "\\-";
    else text += c;
  }
  return text;
}

void writeManPage(std::ostream& out, const ManPageTitle& title) {
  out << ".\\\" The manual page of skein10, written from the program's own help.\n"
      << ".TH SKEIN10 1 \"" << title.date << "\" \"skein10 " << title.version << "\" \"User Commands\"\n"
      // No hyphenation and a ragged right edge: options, paths and command
      // lines stay whole, as they must be typed.
      << ".nh\n.ad l\n";
  for (const HelpSection& section : manualDocument(title.installedStore)) {
    out << ".SH \"" << section.title << "\"\n";
    writeBlocks(out, section.blocks, 0);
  }
}

}  // namespace skein10::host

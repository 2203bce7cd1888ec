#include "host/RemoteListing.h"

#include <algorithm>
#include <array>
#include <optional>

namespace skein10::host {
namespace {

struct Token {
  std::string_view text;
  std::size_t end;  // where it ends in the line
};

std::vector<Token> tokensOf(std::string_view line) {
  std::vector<Token> tokens;
  std::size_t at = 0;
  while (at < line.size()) {
    const std::size_t begin = line.find_first_not_of(" \t", at);
    if (begin == std::string_view::npos) break;
    const std::size_t end = std::min(line.find_first_of(" \t", begin), line.size());
    tokens.push_back({line.substr(begin, end - begin), end});
    at = end;
  }
  return tokens;
}

bool digitsOnly(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// One to firstMax digits, the separator, two digits: "9:05", "12:00".
bool twoNumbers(std::string_view text, char separator, std::size_t firstMax) {
  const auto at = text.find(separator);
  if (at == std::string_view::npos || at == 0 || at > firstMax) return false;
  return digitsOnly(text.substr(0, at)) && text.size() - at - 1 == 2 && digitsOnly(text.substr(at + 1));
}

bool isMonth(std::string_view text) {
  static constexpr std::array<std::string_view, 12> kMonths{"jan", "feb", "mar", "apr", "may", "jun",
                                                           "jul", "aug", "sep", "oct", "nov", "dec"};
  if (text.size() != 3) return false;
  std::string folded(text);
  for (char& c : folded) c = static_cast<char>(c | 0x20);
  return std::find(kMonths.begin(), kMonths.end(), folded) != kMonths.end();
}

bool isDay(std::string_view text) { return digitsOnly(text) && text.size() <= 2; }

bool isTimeOrYear(std::string_view text) { return twoNumbers(text, ':', 2) || (digitsOnly(text) && text.size() == 4); }

// 2024-01-02
bool isIsoDate(std::string_view text) {
  return text.size() == 10 && text[4] == '-' && text[7] == '-' && digitsOnly(text.substr(0, 4)) &&
         digitsOnly(text.substr(5, 2)) && digitsOnly(text.substr(8, 2));
}

// Where the name starts: after the date and time of a Unix line.
std::optional<std::size_t> unixNameStart(const std::vector<Token>& tokens) {
  for (std::size_t i = 1; i + 2 < tokens.size(); ++i) {
    if (isMonth(tokens[i].text) && isDay(tokens[i + 1].text) && isTimeOrYear(tokens[i + 2].text))
      return tokens[i + 2].end + 1;
    if (isIsoDate(tokens[i].text) && twoNumbers(tokens[i + 1].text, ':', 2)) return tokens[i + 1].end + 1;
  }
  return std::nullopt;
}

EntryKind unixKind(char type) {
  switch (type) {
    case '-': return EntryKind::File;
    case 'd': return EntryKind::Folder;
    case 'l': return EntryKind::Link;
    default: return EntryKind::Other;
  }
}

std::optional<ListingEntry> unixEntry(std::string_view line, const std::vector<Token>& tokens) {
  if (tokens.empty() || tokens[0].text.size() < 10 ||
      std::string_view("-dlbcps").find(tokens[0].text[0]) == std::string_view::npos)
    return std::nullopt;
  const auto start = unixNameStart(tokens);
  if (!start || *start >= line.size()) return std::nullopt;
  const EntryKind kind = unixKind(tokens[0].text[0]);
  std::string_view name = line.substr(*start);
  if (kind == EntryKind::Link) name = name.substr(0, name.find(" -> "));
  return ListingEntry{std::string(name), kind};
}

// 01-02-24 or 01-02-2024 (also with "/"); 10:15AM, 10:15PM or 22:15.
bool isDosDate(std::string_view text) {
  return (text.size() == 8 || text.size() == 10) && (text[2] == '-' || text[2] == '/') && text[5] == text[2] &&
         digitsOnly(text.substr(0, 2)) && digitsOnly(text.substr(3, 2)) && digitsOnly(text.substr(6));
}

bool isDosTime(std::string_view text) {
  if (text.ends_with("AM") || text.ends_with("PM")) text.remove_suffix(2);
  return twoNumbers(text, ':', 2);
}

std::optional<ListingEntry> dosEntry(std::string_view line, const std::vector<Token>& tokens) {
  if (tokens.size() < 4 || !isDosDate(tokens[0].text) || !isDosTime(tokens[1].text)) return std::nullopt;
  const bool folder = tokens[2].text == "<DIR>";
  if (!folder && !digitsOnly(tokens[2].text)) return std::nullopt;
  const std::size_t start = line.find_first_not_of(" \t", tokens[2].end);
  return ListingEntry{std::string(line.substr(start)), folder ? EntryKind::Folder : EntryKind::File};
}

bool isTotal(const std::vector<Token>& tokens) {
  return tokens.size() == 2 && tokens[0].text == "total" && digitsOnly(tokens[1].text);
}

void readLine(std::string_view line, ParsedListing& listing) {
  const std::vector<Token> tokens = tokensOf(line);
  if (tokens.empty() || isTotal(tokens)) return;
  auto entry = unixEntry(line, tokens);
  if (!entry) entry = dosEntry(line, tokens);
  if (!entry) listing.unread.emplace_back(line);
  else if (entry->name != "." && entry->name != "..") listing.entries.push_back(std::move(*entry));
}

}  // namespace

ParsedListing parseListing(std::string_view text) {
  ParsedListing listing;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    readLine(line, listing);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  return listing;
}

}  // namespace skein10::host

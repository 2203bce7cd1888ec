#include "host/Netrc.h"

#include <strings.h>

#include <cstddef>
#include <string_view>

namespace skein10::host {
namespace {

class Tokens {
 public:
  explicit Tokens(std::string_view text) : text_(text) {}

  std::optional<std::string> next() {
    skipBlanks();
    if (at_ >= text_.size()) return std::nullopt;
    return text_[at_] == '"' ? quoted() : plain();
  }

  // A macro's body runs to the first empty line.
  void skipMacro() {
    const auto end = text_.find("\n\n", at_);
    at_ = end == std::string_view::npos ? text_.size() : end + 2;
  }

 private:
  static bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

  void skipBlanks() {
    while (at_ < text_.size() && isBlank(text_[at_])) ++at_;
  }

  std::string plain() {
    const std::size_t begin = at_;
    while (at_ < text_.size() && !isBlank(text_[at_])) ++at_;
    return std::string(text_.substr(begin, at_ - begin));
  }

  std::string quoted() {
    std::string token;
    for (++at_; at_ < text_.size() && text_[at_] != '"'; ++at_) {
      if (text_[at_] == '\\' && at_ + 1 < text_.size()) ++at_;
      token += text_[at_];
    }
    ++at_;  // the closing quote
    return token;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

bool sameHost(const std::optional<std::string>& machine, const std::string& host) {
  return machine && ::strcasecmp(machine->c_str(), host.c_str()) == 0;
}

bool fits(const NetrcEntry& entry, const std::optional<std::string>& user) {
  return !user || entry.login == user;
}

}  // namespace

std::vector<NetrcEntry> parseNetrc(const std::string& text) {
  std::vector<NetrcEntry> entries;
  Tokens tokens(text);
  while (const auto token = tokens.next()) {
    if (*token == "machine" || *token == "default") {
      entries.emplace_back();
      if (*token == "machine") entries.back().machine = tokens.next();
    } else if (*token == "macdef") {
      tokens.next();
      tokens.skipMacro();
    } else if ((*token == "login" || *token == "password" || *token == "account") && !entries.empty()) {
      const auto value = tokens.next();
      if (*token == "login") entries.back().login = value;
      if (*token == "password") entries.back().password = value;
    }
  }
  return entries;
}

std::optional<NetrcEntry> findNetrcEntry(const std::vector<NetrcEntry>& entries, const std::string& host,
                                         const std::optional<std::string>& user) {
  for (const NetrcEntry& entry : entries)
    if (sameHost(entry.machine, host) && fits(entry, user)) return entry;
  for (const NetrcEntry& entry : entries)
    if (!entry.machine && fits(entry, user)) return entry;
  return std::nullopt;
}

}  // namespace skein10::host

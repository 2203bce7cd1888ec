#include "host/Passwords.h"

#include <regex>
#include <string_view>

namespace skein10::host {
namespace {

// A bracket ends the user: "SCHEME://[USER[:PASS]@]" in a usage text is no URL.
const std::regex& urlPassword() {
  static const std::regex password(R"(([A-Za-z][A-Za-z0-9+.-]*://[^/:@\s'\[\]]*):([^@\s']*)@)");
  return password;
}

void blank(char* from, char* to) {
  for (char* c = from; c < to; ++c) *c = '*';
}

void hideInWord(char* word, bool afterUserOption) {
  const std::string_view text(word);
  if (afterUserOption) {
    const auto colon = text.find(':');
    if (colon != std::string_view::npos) blank(word + colon + 1, word + text.size());
    return;
  }
  std::cmatch url;
  if (std::regex_search(word, url, urlPassword())) blank(word + url.position(2), word + url.position(2) + url.length(2));
}

}  // namespace

std::string withoutPasswords(const std::string& text) { return std::regex_replace(text, urlPassword(), "$1:***@"); }

void hidePasswords(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view before(argv[i - 1]);
    hideInWord(argv[i], i > 1 && (before == "-u" || before == "--user"));
  }
}

}  // namespace skein10::host

#pragma once
// Case folding one character at a time: the rule behind foldCase, for
// comparisons that need no folded copy.

#include "skein10/String.h"

namespace skein10 {

// ASCII and Latin-1 capitals to lower case; every other character unchanged.
inline char16_t foldChar(char16_t c) {
  const bool asciiUpper = c >= u'A' && c <= u'Z';
  const bool latin1Upper = c >= 0xC0 && c <= 0xDE && c != 0xD7;
  return (asciiUpper || latin1Upper) ? static_cast<char16_t>(c + 32) : c;
}

// foldCase(a) == foldCase(b), without building either.
inline bool sameFolded(StringView a, StringView b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (foldChar(a[i]) != foldChar(b[i])) return false;
  return true;
}

}  // namespace skein10

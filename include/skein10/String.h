#pragma once
// Text at the library's boundary: 16-bit characters.

#include <string>
#include <string_view>
#include "skein10/Export.h"

namespace skein10 {

using String = std::u16string;
using StringView = std::u16string_view;

// UTF-8 to 16-bit text. Bytes that are not valid UTF-8 map one to one onto
// U+DC80..U+DCFF, so any byte sequence survives the round trip through toUtf8.
SKEIN10_API String fromUtf8(std::string_view bytes);

// 16-bit text to UTF-8. U+DC80..U+DCFF standing alone turn back into the byte
// they came from; any other unpaired surrogate becomes U+FFFD.
SKEIN10_API std::string toUtf8(StringView text);

// Case-insensitive comparison key: ASCII and Latin-1 letters folded to lower case.
SKEIN10_API String foldCase(StringView text);

}  // namespace skein10

#include "skein10/String.h"

#include <cstdint>

#include "platform/automation/TextFold.h"

namespace skein10 {
namespace {

constexpr char16_t kEscapeBase = 0xDC00;  // U+DC80..U+DCFF carry undecodable bytes

// Length of the valid UTF-8 sequence at bytes[i], or 0 when it is not valid.
std::size_t validSequence(std::string_view bytes, std::size_t i, char32_t& cp) {
  const auto byte = [&](std::size_t k) { return static_cast<uint8_t>(bytes[k]); };
  const uint8_t b0 = byte(i);
  std::size_t len;
  char32_t min;
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  } else if ((b0 & 0xE0) == 0xC0) {
    len = 2, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4, cp = b0 & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > bytes.size()) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (byte(i + k) & 0x3F);
  }
  const bool surrogate = cp >= 0xD800 && cp <= 0xDFFF;
  return (cp < min || cp > 0x10FFFF || surrogate) ? 0 : len;
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

String fromUtf8(std::string_view bytes) {
  String out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    char32_t cp = 0;
    const std::size_t len = validSequence(bytes, i, cp);
    if (len == 0) {
      out += static_cast<char16_t>(kEscapeBase + static_cast<uint8_t>(bytes[i]));
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += len;
  }
  return out;
}

std::string toUtf8(StringView text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    const bool high = c >= 0xD800 && c <= 0xDBFF;
    if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      appendUtf8(out, 0x10000 + ((char32_t(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (c >= 0xDC80 && c <= 0xDCFF) {
      out += static_cast<char>(c - kEscapeBase);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      appendUtf8(out, 0xFFFD);
    } else {
      appendUtf8(out, c);
    }
  }
  return out;
}

String foldCase(StringView text) {
  String out(text);
  for (char16_t& c : out) c = foldChar(c);
  return out;
}

}  // namespace skein10

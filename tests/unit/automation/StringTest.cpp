#include <gtest/gtest.h>

#include "skein10/String.h"

using namespace skein10;

TEST(String, Utf8RoundTrip) {
  const std::string text = "plain \xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80";
  const String wide = fromUtf8(text);
  EXPECT_EQ(wide, u"plain \u00E9t\u00E9 \u20AC \U0001F600");
  EXPECT_EQ(toUtf8(wide), text);
}

TEST(String, InvalidBytesSurviveTheRoundTrip) {
  // A lone continuation byte, a cut sequence, an overlong form and a raw 0xFF.
  const std::string bytes = "a\x80" "b\xE2\x82" "c\xC0\xAF" "d\xFF";
  const String wide = fromUtf8(bytes);
  EXPECT_EQ(wide.size(), 10u);
  EXPECT_EQ(wide[1], 0xDC80);
  EXPECT_EQ(toUtf8(wide), bytes);
}

TEST(String, FoldsAsciiAndLatin1) {
  EXPECT_EQ(foldCase(u"CookiesDIR \u00C9\u00DE\u00D7"), u"cookiesdir \u00E9\u00FE\u00D7");
}

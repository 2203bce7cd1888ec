#include "ftp/FtpReplyFramer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace skein10 {
namespace {

using ::testing::ElementsAreArray;

std::vector<String> frame(StringView text) { return FtpReplyFramer().push(text); }

struct FramingCase {
  const char* name;
  const char16_t* text;
  std::vector<String> replies;
};

const FramingCase kCases[] = {
    {"one line", u"220 Welcome\r\n", {u"220 Welcome"}},
    {"bare LF ends a line", u"220 a\n331 b\n", {u"220 a", u"331 b"}},
    {"bare CR ends a line", u"220 a\r331 b\r", {u"220 a", u"331 b"}},
    {"empty lines are skipped", u"\r\n\r\n  \r\n220 a\r\n\n", {u"220 a"}},
    {"spaces before the code are dropped", u"   331 Need password\r\n", {u"331 Need password"}},
    {"multi-line reply gives its last line",
     u"220-Welcome\r\n220-to this\r\n220 server\r\n", {u"220 server"}},
    {"continuation lines may look like anything",
     u"230-Hello\r\n 230 indented\r\n230-more\r\n150 not a reply\r\n230 done\r\n", {u"230 done"}},
    {"multi-line reply ended by the code alone", u"211-Status\r\nline\r\n211\r\n", {u"211"}},
    {"multi-line reply of any code", u"250-a\r\n250 b\r\n226 c\r\n", {u"250 b", u"226 c"}},
    {"four-digit start counts as a plain line", u"2200 odd\r\n", {u"2200 odd"}},
    {"unterminated line waits", u"220 partial", {}},
    {"open multi-line reply waits", u"220-first\r\n", {}},
};

TEST(FtpReplyFramer, FramesRepliesAsTheProtocolDefines) {
  for (const FramingCase& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_THAT(frame(c.text), ElementsAreArray(c.replies));
  }
}

// Cutting the text anywhere, in two or into single characters, never changes
// what comes out.
TEST(FtpReplyFramer, ChunkingNeverChangesTheResult) {
  for (const FramingCase& c : kCases) {
    SCOPED_TRACE(c.name);
    StringView text(c.text);
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
      FtpReplyFramer framer;
      std::vector<String> got = framer.push(text.substr(0, cut));
      for (String& r : framer.push(text.substr(cut))) got.push_back(std::move(r));
      EXPECT_THAT(got, ElementsAreArray(c.replies)) << "cut at " << cut;
    }
    FtpReplyFramer framer;
    std::vector<String> got;
    for (char16_t ch : text) {
      for (String& r : framer.push(StringView(&ch, 1))) got.push_back(std::move(r));
    }
    EXPECT_THAT(got, ElementsAreArray(c.replies));
  }
}

// The session decodes each received chunk on its own; a character whose
// bytes the network split between two chunks still comes out whole.
TEST(FtpReplyFramer, CharacterSplitBetweenChunksComesOutWhole) {
  const std::string bytes = "257 \"/\xC3\x9C \xE6\x96\x87 \xF0\x9F\x98\x80\" created\r\n";
  const String expected = u"257 \"/\u00DC \u6587 \U0001F600\" created";
  for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
    FtpReplyFramer framer;
    std::vector<String> got = framer.push(fromUtf8(std::string_view(bytes).substr(0, cut)));
    for (String& r : framer.push(fromUtf8(std::string_view(bytes).substr(cut)))) got.push_back(std::move(r));
    EXPECT_THAT(got, ElementsAreArray({expected})) << "cut at " << cut;
  }
}

TEST(FtpReplyFramer, ResetForgetsPartialText) {
  FtpReplyFramer framer;
  EXPECT_TRUE(framer.push(u"220-open\r\n550 par").empty());
  framer.reset();
  EXPECT_THAT(framer.push(u"331 next\r\n"), ElementsAreArray({String(u"331 next")}));
}

TEST(FtpReplyFramer, OverlongLineIsCutButStillEnds) {
  FtpReplyFramer framer;
  String line = u"550 " + String(3 * FtpReplyFramer::kMaxLine, u'x');
  std::vector<String> got = framer.push(line + u"\r\n");
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].size(), FtpReplyFramer::kMaxLine);
  EXPECT_EQ(got[0].substr(0, 4), u"550 ");
}

}  // namespace
}  // namespace skein10

// The session log's length bound and the sink's text helper.

#include <gtest/gtest.h>

#include <algorithm>

#include "ftp/FtpSessionLog.h"
#include "ftp/clsKvInetFTPConnection.h"
#include "skein10/Boundary.h"

namespace skein10 {
namespace {

struct LogCase {
  const char* name;
  int32_t maxLogSize;
  String before;
  String added;
  String after;
};

const LogCase kLogCases[] = {
    {"sum beyond the limit drops as much as is added", 10, u"abcdefgh", u"WXYZ", u"efghWXYZ"},
    {"sum equal to the limit is kept", 10, u"abcdefgh", u"YZ", u"abcdefghYZ"},
    {"one text longer than the limit is kept whole", 10, u"", u"0123456789abcde", u"0123456789abcde"},
    {"a long text replaces a shorter log", 10, u"abc", u"0123456789abcde", u"0123456789abcde"},
    {"a lowered limit holds the length reached", 4, u"abcdefgh", u"XY", u"cdefghXY"},
    {"empty text changes nothing", 10, u"abcdefghij", u"", u"abcdefghij"},
    {"zero limit keeps only the last text", 0, u"abc", u"de", u"cde"},
};

TEST(FtpSessionLog, DropsAsManyOldCharactersAsEachAdditionBringsPastMaxLogSize) {
  for (const LogCase& c : kLogCases) {
    SCOPED_TRACE(c.name);
    Ref<clsKvInetFTPConnection> ftp = makeRef<clsKvInetFTPConnection>();
    ftp->sink().ftpAddToLog(c.before);
    check(ftp->put_MaxLogSize(c.maxLogSize));
    ftp->sink().ftpAddToLog(c.added);
    String log;
    check(ftp->get_LogData(&log));
    EXPECT_EQ(log, c.after);
  }
}

// A long run of additions of varied lengths, with the limit lowered and
// raised on the way, against the rule applied to a plain text: the log that
// drops text by moving its start must read the same after every addition.
TEST(FtpSessionLog, LongRunMatchesTheRuleOnPlainText) {
  FtpSessionLog log;
  String expected;
  int64_t limit = 50;
  for (int i = 0; i < 3000; ++i) {
    if (i == 1000) limit = 20;   // lowered below the length reached
    if (i == 2000) limit = 400;  // raised: the log grows again
    const String text(static_cast<std::size_t>(i * 7 % 31), static_cast<char16_t>(u'a' + i % 26));
    if (static_cast<int64_t>(text.size() + expected.size()) > limit) {
      expected.erase(0, std::min(text.size(), expected.size()));
    }
    expected += text;
    log.add(text, limit);
    ASSERT_EQ(log.text(), expected) << "after addition " << i;
  }
}

TEST(FtpSessionLog, StripCharRemovesBothEnds) {
  const std::tuple<String, char16_t, String> cases[] = {
      {u"  a b  ", u' ', u"a b"}, {u"\r\r220\r", u'\r', u"220"}, {u"", u' ', u""},
      {u"    ", u' ', u""},       {u"x", u'x', u""},             {u"\nab\n\r", u'\n', u"ab\n\r"},
  };
  for (const auto& [text, ch, stripped] : cases) {
    EXPECT_EQ(frmKvInetFTPConnection::ftpStripChar(text, ch), stripped);
  }
}

}  // namespace
}  // namespace skein10

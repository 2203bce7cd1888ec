// The session log's length bound and the sink's text helper.

#include <gtest/gtest.h>

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

TEST(FtpSessionLog, StaysWithinMaxLogSize) {
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

#include "ftp/FtpReplyTable.h"

#include <gtest/gtest.h>

namespace skein10 {
namespace {

TEST(FtpReplyTable, HoldsThirtySevenCodes) {
  EXPECT_EQ(FtpReplyTable::size(), 37u);
  int found = 0;
  for (int code = 100; code < 600; ++code) {
    std::string text = std::to_string(code);
    found += FtpReplyTable::find(String(text.begin(), text.end())) != nullptr;
  }
  EXPECT_EQ(found, 37);
}

struct RowCase {
  const char16_t* code;
  FtpReplyKind kind;
  int32_t error;
  const char16_t* message;
};

// One row of each kind and the rows whose outcome is easy to get wrong.
const RowCase kRows[] = {
    {u"110", FtpReplyKind::Message, 1, u"Restart marker reply."},
    {u"150", FtpReplyKind::Line, 0, u""},
    {u"200", FtpReplyKind::Message, 0, u"The previous command was successfull."},
    {u"220", FtpReplyKind::MultiLine, 0, u"System message."},
    {u"226", FtpReplyKind::TransferEnd, 0, u"The transfer is no longer in progress."},
    {u"227", FtpReplyKind::Line, 0, u""},
    {u"332", FtpReplyKind::Message, 1, u"Need account for login."},
    {u"350", FtpReplyKind::Message, 0, u"Requested file action pending further information."},
    {u"421", FtpReplyKind::Message, 1, u"Service not available, your connection has been terminated."},
    {u"530", FtpReplyKind::Message, 1, u"User not logged in correct."},
    {u"550", FtpReplyKind::Message, 1,
     u"The requested file/directory action was aborted because the file/directory was not found or you don't "
     u"have access."},
};

TEST(FtpReplyTable, RowsCarryTheirKindErrorAndMessage) {
  for (const RowCase& c : kRows) {
    SCOPED_TRACE(std::string(c.code, c.code + 3));
    const FtpReplyRow* row = FtpReplyTable::find(c.code);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->kind, c.kind);
    EXPECT_EQ(row->error, c.error);
    EXPECT_EQ(row->message, StringView(c.message));
  }
}

TEST(FtpReplyTable, NotImplementedCodesShareOneMessage) {
  EXPECT_EQ(FtpReplyTable::find(u"202")->message, FtpReplyTable::find(u"502")->message);
  EXPECT_EQ(FtpReplyTable::find(u"202")->error, 1);
}

TEST(FtpReplyTable, UnknownCodesAreNotFound) {
  for (const char16_t* code : {u"120", u"221", u"331 ", u"22", u"", u"abc"}) {
    EXPECT_EQ(FtpReplyTable::find(code), nullptr);
  }
}

}  // namespace
}  // namespace skein10

#include "ftp/FtpPassiveReply.h"

#include "skein10/Error.h"

#include <gtest/gtest.h>

namespace skein10 {
namespace {

struct ParseCase {
  const char* name;
  const char16_t* reply;
  const char16_t* host;  // nullptr: the reply can't be read
  int32_t port;
};

const ParseCase kCases[] = {
    {"usual", u"227 Entering Passive Mode (192,168,1,20,19,137)", u"192.168.1.20", 5001},
    {"text after the group", u"227 Entering Passive Mode (192,168,1,20,19,137).", u"192.168.1.20", 5001},
    {"no closing parenthesis", u"227 Entering Passive Mode (127,0,0,1,4,1", u"127.0.0.1", 1025},
    {"last group wins", u"227 (1,2,3,4,5,6) then (10,0,0,7,0,21)", u"10.0.0.7", 21},
    {"three fields", u"227 ok (10.0.0.7,19,137)", u"10.0.0.7", 5001},
    {"spaces around numbers", u"227 ok (127,0,0,1, 19 , 137 )", u"127.0.0.1", 5001},
    {"two fields", u"227 ok (19,137)", nullptr, 0},
    {"no parentheses", u"227 Entering Passive Mode 127,0,0,1,19,137", nullptr, 0},
    {"only a closing parenthesis", u"227 127,0,0,1,19,137)", nullptr, 0},
    {"port not a number", u"227 ok (127,0,0,1,19,x7)", nullptr, 0},
    {"empty port field", u"227 ok (127,0,0,1,19,)", nullptr, 0},
    {"port zero", u"227 ok (127,0,0,1,0,0)", nullptr, 0},
    {"port beyond 65535", u"227 ok (127,0,0,1,256,0)", nullptr, 0},
    {"low byte beyond 255", u"227 ok (127,0,0,1,-1,300)", nullptr, 0},
    {"negative low byte", u"227 ok (127,0,0,1,20,-4)", nullptr, 0},
    {"huge numbers", u"227 ok (127,0,0,1,99999999999999999999,1)", nullptr, 0},
    {"a fixed message", u"The previous command was successfull.", nullptr, 0},
};

TEST(FtpPassiveReply, ReadsTheLastGroupOfTheReply) {
  for (const ParseCase& c : kCases) {
    SCOPED_TRACE(c.name);
    if (c.host) {
      FtpPassiveReply got = FtpPassiveReply::parse(c.reply);
      EXPECT_EQ(got.host, StringView(c.host));
      EXPECT_EQ(got.port, c.port);
    } else {
      try {
        FtpPassiveReply::parse(c.reply);
        ADD_FAILURE() << "parsed";
      } catch (const Error& e) {
        EXPECT_EQ(e.number(), 8);
        EXPECT_EQ(e.source(), u"FTP Command");
        EXPECT_NE(e.description().find(c.reply), String::npos);
      }
    }
  }
}

}  // namespace
}  // namespace skein10

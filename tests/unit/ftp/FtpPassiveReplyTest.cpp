#include "ftp/FtpPassiveReply.h"
#include "ftp/FtpServerAddress.h"

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

// The 229 reply to EPSV: only the port, between the separators.
TEST(FtpPassiveReply, ReadsThePortOfAnExtendedReply) {
  struct Case {
    const char16_t* reply;
    int32_t port;  // 0: fails
  } cases[] = {
      {u"229 Entering Extended Passive Mode (|||6446|)", 6446},
      {u"229 Entering extended passive mode (|||50819|).", 50819},
      {u"229 ok (!!!21!)", 21},
      {u"229 ok (|||0|)", 0},
      {u"229 ok (|||65536|)", 0},
      {u"229 ok (|||12a|)", 0},
      {u"229 ok (||6446|)", 0},
      {u"229 ok (|||6446)", 0},
      {u"229 ok |||6446|", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.reply));
    if (c.port) {
      EXPECT_EQ(FtpPassiveReply::parseExtended(c.reply).port, c.port);
    } else {
      EXPECT_THROW(FtpPassiveReply::parseExtended(c.reply), Error);
    }
  }
}

// The server text's scheme chooses TLS; the certificate names the host
// without brackets; any other scheme is refused with error 5.
TEST(FtpServerAddress, SchemesAndIPv6Literals) {
  using S = FtpServerAddress::Security;
  struct Case {
    const char16_t* text;
    const char16_t* host;
    const char16_t* peer;
    S security;
  } cases[] = {
      {u"ftp.example.org", u"ftp.example.org", u"ftp.example.org", S::Plain},
      {u"::1", u"::1", u"::1", S::Plain},
      {u"[::1]", u"[::1]", u"::1", S::Plain},
      {u"ftpes://localhost", u"localhost", u"localhost", S::Explicit},
      {u"FTPES://[::1]", u"[::1]", u"::1", S::Explicit},
      {u"ftps://127.0.0.1", u"127.0.0.1", u"127.0.0.1", S::Implicit},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.text));
    const FtpServerAddress a = FtpServerAddress::parse(c.text);
    EXPECT_EQ(a.host, StringView(c.host));
    EXPECT_EQ(a.peerName, StringView(c.peer));
    EXPECT_EQ(a.security, c.security);
  }
  for (const char16_t* bad : {u"ftp://host", u"sftp://host", u"ftps://"}) {
    try {
      FtpServerAddress::parse(bad);
      ADD_FAILURE() << toUtf8(bad);
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), 5);
    }
  }
}

}  // namespace
}  // namespace skein10

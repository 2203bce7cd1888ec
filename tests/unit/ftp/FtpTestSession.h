#pragma once
// What the FTP session tests share: a fresh session and short ways to read
// the outcome of its members.

#include <gtest/gtest.h>

#include "ScriptedFtpServer.h"
#include "ftp/clsKvInetFTPConnection.h"
#include "skein10/Boundary.h"

namespace skein10::test {

// Plays a greeting and a login of user "bob" with password "pw".
void playLogin(ScriptedFtpServer::Session& s);

// The server's side of PASV: a data listener announced under `host`, and
// the client's connection to it.
TestSocket passiveData(ScriptedFtpServer::Session& s, const std::string& host = "127.0.0.1");

class FtpSessionTest : public ::testing::Test {
 protected:
  Ref<clsKvInetFTPConnection> ftp = makeRef<clsKvInetFTPConnection>();

  Status connect(const ScriptedFtpServer& server, const String& login = u"bob", const String& pass = u"pw");
  String log();
};

// The error a failed call left; fails the test when the call succeeded.
Error errorOf(Status status);

// The session error's description when the call failed with it.
String sessionErrorOf(Status status);

}  // namespace skein10::test

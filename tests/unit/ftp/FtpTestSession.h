#pragma once
// What the FTP session tests share: a fresh session, the test's scripted
// server, and short ways to read the outcome of the session's members.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "CallError.h"
#include "FtpScripts.h"
#include "ScriptedFtpServer.h"
#include "ftp/clsKvInetFTPConnection.h"
#include "skein10/Boundary.h"

namespace skein10::test {

using Session = ScriptedFtpServer::Session;

class FtpSessionTest : public ::testing::Test {
 protected:
  // Starts the test's scripted server, after the one before it (if any) has
  // finished its script.
  void serve(ScriptedFtpServer::Script script);
  // The server serve() started.
  ScriptedFtpServer& server() { return *server_; }
  // Connects the session to the test's server, or to `other`, as bob with
  // password pw unless told otherwise.
  Status connect(const String& login = u"bob", const String& pass = u"pw");
  Status connect(const ScriptedFtpServer& other, const String& login = u"bob", const String& pass = u"pw");
  // Ends the session (its connections close) and waits for the server's
  // script to end; a script that failed fails the test. TearDown does it for
  // a test that did not.
  void finish();
  // One case of a table test, traced by `name`: a fresh session against a
  // fresh server playing `script`, then `body`, then finish(). A script that
  // shares the test's local values runs this way too, so that it has ended
  // before they go (TearDown comes only after them).
  void runCase(const std::string& name, ScriptedFtpServer::Script script, const std::function<void()>& body);
  String log();

  void TearDown() override { finish(); }

  Ref<clsKvInetFTPConnection> ftp = makeRef<clsKvInetFTPConnection>();

 private:
  std::unique_ptr<ScriptedFtpServer> server_;
};

}  // namespace skein10::test

#pragma once
// Pieces of scripts for the scripted FTP server that many tests play.

#include <string>
#include <string_view>

#include "ScriptedFtpServer.h"
#include "TestSocket.h"

namespace skein10::test {

inline constexpr std::string_view kScriptedGreeting = "220 Scripted server ready\r\n";

// Sends `greeting`, then plays the login of user "bob" with password "pw"
// (playCredentials) and accepts it with 230.
void playLogin(ScriptedFtpServer::Session& s, std::string_view greeting = kScriptedGreeting);

// The login after the greeting: "USER bob", answered by 331, then
// "PASS pw", which the caller answers.
void playCredentials(ScriptedFtpServer::Session& s);

// A whole script: the login (playLogin), then `rest` (if any), then the wait
// for the client to close its connection.
ScriptedFtpServer::Script afterLogin(ScriptedFtpServer::Script rest = {});

// The server's side of PASV: a data listener announced under `host`, and
// the client's connection to it.
TestSocket passiveData(ScriptedFtpServer::Session& s, const std::string& host = "127.0.0.1");

// The server's side of a passive download of "x" up to its start: PASV,
// then "RETR x" answered by "150 Opening"; the data connection.
TestSocket startDownload(ScriptedFtpServer::Session& s);

}  // namespace skein10::test

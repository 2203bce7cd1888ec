#include "FtpScripts.h"

#include <utility>

namespace skein10::test {

void playLogin(ScriptedFtpServer::Session& s, std::string_view greeting) {
  s.send(greeting);
  playCredentials(s);
  s.send("230 Logged in\r\n");
}

void playCredentials(ScriptedFtpServer::Session& s) {
  s.expect("USER bob");
  s.send("331 Password please\r\n");
  s.expect("PASS pw");
}

ScriptedFtpServer::Script afterLogin(ScriptedFtpServer::Script rest) {
  return [rest = std::move(rest)](ScriptedFtpServer::Session& s) {
    playLogin(s);
    if (rest) rest(s);
    s.waitClientClosed();
  };
}

TestSocket passiveData(ScriptedFtpServer::Session& s, const std::string& host) {
  s.expect("PASV");
  int port = s.listenData();
  s.send(ScriptedFtpServer::Session::passiveReply(host, port));
  return s.acceptData();
}

TestSocket startDownload(ScriptedFtpServer::Session& s) {
  TestSocket data = passiveData(s);
  s.expect("RETR x");
  s.send("150 Opening\r\n");
  return data;
}

}  // namespace skein10::test

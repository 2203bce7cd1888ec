#include "FtpTestSession.h"

namespace skein10::test {

void playLogin(ScriptedFtpServer::Session& s) {
  s.send("220 Scripted server ready\r\n");
  s.expect("USER bob");
  s.send("331 Password please\r\n");
  s.expect("PASS pw");
  s.send("230 Logged in\r\n");
}

TestSocket passiveData(ScriptedFtpServer::Session& s, const std::string& host) {
  s.expect("PASV");
  int port = s.listenData();
  s.send(ScriptedFtpServer::Session::passiveReply(host, port));
  return s.acceptData();
}

Status FtpSessionTest::connect(const ScriptedFtpServer& server, const String& login, const String& pass) {
  Variant result;
  Status status = ftp->Connect(u"127.0.0.1", server.portText(), login, pass, &result);
  EXPECT_TRUE(result.isEmpty());
  return status;
}

String FtpSessionTest::log() {
  String text;
  check(ftp->get_LogData(&text));
  return text;
}

Error errorOf(Status status) {
  EXPECT_EQ(status, Status::Failed);
  if (status == Status::Ok) return Error(0, u"", u"the call succeeded");
  return takeError();
}

String sessionErrorOf(Status status) {
  Error e = errorOf(status);
  EXPECT_EQ(e.number(), 8);
  EXPECT_EQ(e.source(), u"FTP Command");
  return e.description();
}

}  // namespace skein10::test

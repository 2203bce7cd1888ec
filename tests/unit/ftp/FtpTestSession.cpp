#include "FtpTestSession.h"

#include <utility>

namespace skein10::test {

void FtpSessionTest::serve(ScriptedFtpServer::Script script) {
  if (server_) server_->finish();
  server_ = std::make_unique<ScriptedFtpServer>(std::move(script));
}

Status FtpSessionTest::connect(const String& login, const String& pass) { return connect(server(), login, pass); }

Status FtpSessionTest::connect(const ScriptedFtpServer& other, const String& login, const String& pass) {
  Variant result;
  Status status = ftp->Connect(u"127.0.0.1", other.portText(), login, pass, &result);
  EXPECT_TRUE(result.isEmpty());
  return status;
}

void FtpSessionTest::finish() {
  ftp.reset();
  if (server_) server_->finish();
}

void FtpSessionTest::runCase(const std::string& name, ScriptedFtpServer::Script script,
                             const std::function<void()>& body) {
  SCOPED_TRACE(name);
  ftp = makeRef<clsKvInetFTPConnection>();
  serve(std::move(script));
  body();
  finish();
}

String FtpSessionTest::log() {
  String text;
  check(ftp->get_LogData(&text));
  return text;
}

}  // namespace skein10::test

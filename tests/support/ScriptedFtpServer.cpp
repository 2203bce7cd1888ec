#include "ScriptedFtpServer.h"

#include <cstdio>
#include <stdexcept>
#include <utility>

#include "TestCertificates.h"

namespace skein10::test {

ScriptedFtpServer::ScriptedFtpServer(Script script) : listener_(TestSocket::listen("127.0.0.1")) {
  port_ = listener_.localPort();
  thread_ = std::thread([this, script = std::move(script)] { run(script); });
}

ScriptedFtpServer::~ScriptedFtpServer() {
  if (thread_.joinable()) thread_.join();
}

std::u16string ScriptedFtpServer::portText() const {
  std::string text = std::to_string(port_);
  return std::u16string(text.begin(), text.end());
}

void ScriptedFtpServer::run(Script script) {
  try {
    Session session(*this, listener_.accept(kPatience));
    script(session);
  } catch (...) {
    std::lock_guard lock(mutex_);
    failure_ = std::current_exception();
  }
}

void ScriptedFtpServer::finish() {
  if (thread_.joinable()) thread_.join();
  std::lock_guard lock(mutex_);
  if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

std::string ScriptedFtpServer::received() const {
  std::lock_guard lock(mutex_);
  return received_;
}

void ScriptedFtpServer::record(std::string_view bytes) {
  std::lock_guard lock(mutex_);
  received_ += bytes;
}

ScriptedFtpServer::Session::Session(ScriptedFtpServer& server, TestSocket control)
    : server_(server), control_(std::move(control)) {}

void ScriptedFtpServer::Session::send(std::string_view bytes) {
  if (tls_) return tls_->send(bytes);
  control_.send(bytes);
}

std::string ScriptedFtpServer::Session::receive(milliseconds timeout) {
  return tls_ ? tls_->receive(timeout) : control_.receive(timeout);
}

void ScriptedFtpServer::Session::sendChunks(std::string_view bytes, const std::vector<std::size_t>& cuts,
                                            milliseconds pause) {
  std::size_t start = 0;
  for (std::size_t cut : cuts) {
    send(bytes.substr(start, cut - start));
    this->pause(pause);
    start = cut;
  }
  send(bytes.substr(start));
}

void ScriptedFtpServer::Session::pause(milliseconds duration) { std::this_thread::sleep_for(duration); }

std::string ScriptedFtpServer::Session::readLine() {
  for (int parts = 0; parts < 10000; ++parts) {
    if (auto end = pending_.find("\r\n"); end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 2);
      return line;
    }
    std::string part = receive(kPatience);
    if (part.empty()) throw std::runtime_error("the client closed the control connection");
    server_.record(part);
    pending_ += part;
  }
  throw std::runtime_error("no line end from the client");
}

void ScriptedFtpServer::Session::expect(const std::string& line) {
  std::string got = readLine();
  if (got != line) throw std::runtime_error("expected \"" + line + "\" but the client sent \"" + got + "\"");
}

bool ScriptedFtpServer::Session::clientSentAnything() {
  return !pending_.empty() || (tls_ ? tls_->readable(milliseconds(0)) : control_.readable(milliseconds(0)));
}

void ScriptedFtpServer::Session::waitClientClosed(milliseconds timeout) {
  if (!control_.valid()) return;
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    std::string part;
    try {
      part = receive(timeout);
    } catch (const std::runtime_error&) {
      return;
    }
    if (part.empty()) return;
    server_.record(part);
  }
}

void ScriptedFtpServer::Session::close() {
  tls_.reset();
  control_.close();
}

void ScriptedFtpServer::Session::abort() {
  tls_.reset();
  control_.abort();
}

void ScriptedFtpServer::Session::startTls(bool tls12Only) {
  tlsContext_ = TlsServerStream::newContext(TestCertificates::shared().server(), tls12Only);
  tls_ = std::make_unique<TlsServerStream>(control_, tlsContext_.get());
}

std::unique_ptr<TlsServerStream> ScriptedFtpServer::Session::secureData(TestSocket& data) {
  return std::make_unique<TlsServerStream>(data, tlsContext_.get());
}

int ScriptedFtpServer::Session::listenData() {
  dataListener_ = TestSocket::listen("127.0.0.1");
  return dataListener_.localPort();
}

TestSocket ScriptedFtpServer::Session::acceptData() { return dataListener_.accept(kPatience); }

std::string ScriptedFtpServer::Session::passiveReply(const std::string& host, int port) {
  std::string fields = host;
  for (char& c : fields) {
    if (c == '.') c = ',';
  }
  return "227 Entering Passive Mode (" + fields + "," + std::to_string(port / 256) + "," +
         std::to_string(port % 256) + ").\r\n";
}

int ScriptedFtpServer::Session::portOfPortCommand(const std::string& portLine) {
  int h[4] = {};
  int p1 = 0;
  int p2 = 0;
  if (std::sscanf(portLine.c_str(), "PORT %d,%d,%d,%d,%d,%d", &h[0], &h[1], &h[2], &h[3], &p1, &p2) != 6) {
    throw std::runtime_error("not a PORT command: " + portLine);
  }
  return p1 * 256 + p2;
}

TestSocket ScriptedFtpServer::Session::connectData(const std::string& portLine, const std::string& sourceIp) {
  return TestSocket::connect("127.0.0.1", portOfPortCommand(portLine), sourceIp);
}

}  // namespace skein10::test

#include "TlsTestServer.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <pthread.h>
#include <sys/socket.h>

#include <csignal>

#include <memory>

#include "TlsServerStream.h"

namespace skein10::test {

namespace {

constexpr milliseconds kPatience{20000};

struct SslFree {
  void operator()(SSL* ssl) const { SSL_free(ssl); }
};

// Counts the client hellos of the connection whose record is the app data.
int countHello(SSL* ssl, int*, void*) {
  ++static_cast<TlsTestServer::Connection*>(SSL_get_app_data(ssl))->hellos;
  return SSL_CLIENT_HELLO_SUCCESS;
}

// Records the length of each encrypted record that comes in after the
// handshake, from its header.
void recordHeader(int written, int, int type, const void* bytes, std::size_t length, SSL* ssl, void*) {
  const auto* header = static_cast<const uint8_t*>(bytes);
  if (written || type != SSL3_RT_HEADER || length < 5 || header[0] != SSL3_RT_APPLICATION_DATA) return;
  auto* record = static_cast<TlsTestServer::Connection*>(SSL_get_app_data(ssl));
  if (record->handshake) record->recordLengths.push_back(header[3] << 8 | header[4]);
}

TlsServerStream::Context serverContext(const TlsTestServer::Options& options) {
  TlsServerStream::Context context = TlsServerStream::newContext(options.certificate, options.tls12Only);
  if (!options.groups.empty()) SSL_CTX_set1_groups_list(context.get(), options.groups.c_str());
  SSL_CTX_set_client_hello_cb(context.get(), countHello, nullptr);
  SSL_CTX_set_msg_callback(context.get(), recordHeader);
  return context;
}

void bound(int fd) {
  timeval patience{static_cast<time_t>(kPatience.count() / 1000), 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &patience, sizeof patience);
}

TlsTestServer::Connection serve(SSL_CTX* context, const TestSocket& connection, const std::string& greeting) {
  TlsTestServer::Connection record;
  bound(connection.fd());
  std::unique_ptr<SSL, SslFree> ssl(SSL_new(context));
  SSL_set_fd(ssl.get(), connection.fd());
  SSL_set_app_data(ssl.get(), &record);
  if (SSL_accept(ssl.get()) != 1) return record;
  record.handshake = true;
  record.reused = SSL_session_reused(ssl.get()) == 1;
  record.version = SSL_get_version(ssl.get());
  if (!greeting.empty()) SSL_write(ssl.get(), greeting.data(), static_cast<int>(greeting.size()));
  char buffer[16384];
  for (;;) {
    const int n = SSL_read(ssl.get(), buffer, sizeof buffer);
    if (n <= 0) {
      record.closeNotify = SSL_get_error(ssl.get(), n) == SSL_ERROR_ZERO_RETURN;
      break;
    }
    record.received.append(buffer, static_cast<std::size_t>(n));
  }
  ERR_clear_error();
  return record;
}

}  // namespace

TlsTestServer::TlsTestServer(Options options) : listener_(TestSocket::listen(options.ip)) {
  port_ = listener_.localPort();
  thread_ = std::thread([this, options = std::move(options)] { run(options); });
}

TlsTestServer::~TlsTestServer() {
  if (thread_.joinable()) thread_.join();
}

void TlsTestServer::run(Options options) {
  // A TLS 1.3 server writes its session tickets after the handshake, maybe
  // only once the client has gone (an aborted upload): the write must fail,
  // not end the test with SIGPIPE. Blocked on this thread only.
  sigset_t pipe;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
  const TlsServerStream::Context context = serverContext(options);
  for (int i = 0; i < options.connections; ++i) {
    try {
      TestSocket connection = listener_.accept(kPatience);
      Connection record = serve(context.get(), connection, options.greeting);
      std::lock_guard lock(mutex_);
      connections_.push_back(std::move(record));
    } catch (const std::runtime_error&) {
      break;  // no client came: the test sees the connections missing
    }
  }
  ERR_clear_error();
  done_ = true;
}

std::vector<TlsTestServer::Connection> TlsTestServer::finish() {
  if (thread_.joinable()) thread_.join();
  std::lock_guard lock(mutex_);
  return connections_;
}

}  // namespace skein10::test

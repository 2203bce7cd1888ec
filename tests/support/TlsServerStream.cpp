#include "TlsServerStream.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <sys/socket.h>

#include <stdexcept>

#include "TestCertificates.h"

namespace skein10::test {

namespace {

constexpr milliseconds kPatience{20000};

std::string sslFailure(const char* what) {
  char text[256] = "no reason given";
  if (const unsigned long code = ERR_get_error()) ERR_error_string_n(code, text, sizeof text);
  ERR_clear_error();
  return std::string(what) + ": " + text;
}

}  // namespace

void TlsServerStream::ContextFree::operator()(ssl_ctx_st* context) const { SSL_CTX_free(context); }
void TlsServerStream::SslFree::operator()(ssl_st* ssl) const { SSL_free(ssl); }

TlsServerStream::Context TlsServerStream::newContext(const std::filesystem::path& certificate, bool tls12Only) {
  Context context(SSL_CTX_new(TLS_server_method()));
  SSL_CTX_use_certificate_chain_file(context.get(), certificate.c_str());
  SSL_CTX_use_PrivateKey_file(context.get(), TestCertificates::shared().key().c_str(), SSL_FILETYPE_PEM);
  static const unsigned char kContext[] = "skein10-test";
  SSL_CTX_set_session_id_context(context.get(), kContext, sizeof kContext - 1);
  if (tls12Only) SSL_CTX_set_max_proto_version(context.get(), TLS1_2_VERSION);
  return context;
}

TlsServerStream::TlsServerStream(TestSocket& socket, ssl_ctx_st* context)
    : socket_(socket), ssl_(SSL_new(context)) {
  timeval patience{static_cast<time_t>(kPatience.count() / 1000), 0};
  ::setsockopt(socket.fd(), SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
  ::setsockopt(socket.fd(), SOL_SOCKET, SO_SNDTIMEO, &patience, sizeof patience);
  SSL_set_fd(ssl_.get(), socket.fd());
  if (SSL_accept(ssl_.get()) != 1) throw std::runtime_error(sslFailure("TLS handshake"));
}

TlsServerStream::~TlsServerStream() { ERR_clear_error(); }

std::string TlsServerStream::version() const { return SSL_get_version(ssl_.get()); }

void TlsServerStream::send(std::string_view bytes) {
  while (!bytes.empty()) {
    const int n = SSL_write(ssl_.get(), bytes.data(), static_cast<int>(bytes.size()));
    if (n <= 0) throw std::runtime_error(sslFailure("TLS send"));
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

std::string TlsServerStream::receive(milliseconds timeout) {
  if (!readable(timeout)) throw std::runtime_error("nothing arrived in time");
  char buffer[16384];
  const int n = SSL_read(ssl_.get(), buffer, sizeof buffer);
  if (n <= 0) {
    ERR_clear_error();
    return {};
  }
  return std::string(buffer, static_cast<std::size_t>(n));
}

bool TlsServerStream::readable(milliseconds timeout) {
  return SSL_pending(ssl_.get()) > 0 || socket_.readable(timeout);
}

void TlsServerStream::closeNotify() {
  if (SSL_shutdown(ssl_.get()) < 0) throw std::runtime_error(sslFailure("TLS closing alert"));
}

void TlsServerStream::shutdownSend() { ::shutdown(socket_.fd(), SHUT_WR); }

}  // namespace skein10::test

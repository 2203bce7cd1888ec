#include "platform/events/TlsTransport.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <array>
#include <asio/error.hpp>
#include <asio/ip/address.hpp>
#include <sys/socket.h>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <utility>

#include "platform/events/SocketError.h"
#include "platform/events/TlsGroups.h"

namespace skein10::events {
namespace {

// One TLS record's worth of decrypted bytes.
constexpr std::size_t kRecordSize = 16384;

// The one error value of TLS failures; its text is kept by the transport.
class TlsCategory final : public asio::error_category {
 public:
  const char* name() const noexcept override { return "tls"; }
  std::string message(int) const override { return "TLS failure"; }
};

const asio::error_category& tlsCategory() {
  static const TlsCategory category;
  return category;
}

// The descriptor's reads and writes for OpenSSL. Its own socket BIO writes
// without MSG_NOSIGNAL, so a peer that has gone would stop the process with
// SIGPIPE instead of failing the write.
int descriptorOf(BIO* bio) { return static_cast<int>(reinterpret_cast<intptr_t>(BIO_get_data(bio))); }

// The peer's end of the connection is kept as the BIO's end, so that OpenSSL
// tells an end without the closing alert from a failed read.
int bioRead(BIO* bio, char* into, int size) {
  BIO_clear_retry_flags(bio);
  const ssize_t count = ::recv(descriptorOf(bio), into, static_cast<std::size_t>(size), 0);
  if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) BIO_set_retry_read(bio);
  if (count == 0 && size > 0) BIO_set_flags(bio, BIO_FLAGS_IN_EOF);
  return static_cast<int>(count);
}

int bioWrite(BIO* bio, const char* bytes, int size) {
  BIO_clear_retry_flags(bio);
  const ssize_t count = ::send(descriptorOf(bio), bytes, static_cast<std::size_t>(size), MSG_NOSIGNAL);
  if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) BIO_set_retry_write(bio);
  return static_cast<int>(count);
}

long bioControl(BIO* bio, int command, long, void*) {
  if (command == BIO_CTRL_EOF) return BIO_test_flags(bio, BIO_FLAGS_IN_EOF) != 0;
  return command == BIO_CTRL_FLUSH ? 1 : 0;
}

int bioCreate(BIO* bio) {
  BIO_set_init(bio, 1);
  return 1;
}

const BIO_METHOD* descriptorMethod() {
  static BIO_METHOD* const method = [] {
    BIO_METHOD* m = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK | BIO_TYPE_DESCRIPTOR, "skein10 socket");
    BIO_meth_set_read(m, bioRead);
    BIO_meth_set_write(m, bioWrite);
    BIO_meth_set_ctrl(m, bioControl);
    BIO_meth_set_create(m, bioCreate);
    return m;
  }();
  return method;
}

struct ContextFree {
  void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
};

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

SSL_CTX* newClientContext() {
  SSL_CTX* context = SSL_CTX_new(TLS_client_method());
  if (!context) return nullptr;
  SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
  SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
  SSL_CTX_set_default_verify_paths(context);
  // A peer that closes without the closing alert is no normal end: anyone on
  // the path can forge it (see endedWithoutCloseNotify).
  SSL_CTX_set_options(context, SSL_OP_NO_RENEGOTIATION);
  SSL_CTX_set_mode(context, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
  // Reading ahead takes a record (or several) in one receive instead of
  // its header and then its body; what it took beyond a record waits in
  // OpenSSL, and holdsBytes() tells of it.
  SSL_CTX_set_read_ahead(context, 1);
  SSL_CTX_set_session_cache_mode(context, SSL_SESS_CACHE_CLIENT | SSL_SESS_CACHE_NO_INTERNAL_STORE);
  SSL_CTX_sess_set_new_cb(context, &TlsTransport::keepSession);
  return context;
}

// A client configuration and the key-exchange groups it offers. A first
// connection offers them as OpenSSL (and the system's configuration)
// orders them; a resuming one puts its session's group first.
struct ClientContext {
  std::unique_ptr<SSL_CTX, ContextFree> ssl;
  TlsGroups groups;
};

// The client configuration, shared by every connection of the process that
// trusts the same store. The store is OpenSSL's default, which the
// environment can move, so each choice of SSL_CERT_FILE and SSL_CERT_DIR
// gets a configuration of its own.
const ClientContext& clientContext() {
  static std::mutex mutex;
  static std::map<std::pair<std::string, std::string>, ClientContext> contexts;
  std::pair<std::string, std::string> store{environment("SSL_CERT_FILE"), environment("SSL_CERT_DIR")};
  std::lock_guard lock(mutex);
  ClientContext& context = contexts[std::move(store)];
  if (!context.ssl) {
    context.ssl.reset(newClientContext());
    if (context.ssl) context.groups = TlsGroups(context.ssl.get());
  }
  return context;
}

// What OpenSSL says of its oldest queued error.
std::string reasonText() {
  const unsigned long code = ERR_peek_error();
  if (code == 0) return "unknown error";
  const char* reason = ERR_reason_error_string(code);
  if (reason) return reason;
  char text[256];
  ERR_error_string_n(code, text, sizeof text);
  return text;
}

}  // namespace

void TlsTransport::SslFree::operator()(ssl_st* ssl) const { SSL_free(ssl); }

TlsTransport::TlsTransport(asio::ip::tcp::socket& socket, const std::string& peerName, const TlsSession& resume)
    : buffer_(kRecordSize) {
  const ClientContext& context = clientContext();
  if (context.ssl) ssl_.reset(SSL_new(context.ssl.get()));
  if (!ssl_) {
    failureText_ = "TLS is not available: " + reasonText();
    return;
  }
  SSL* ssl = ssl_.get();
  SSL_set_app_data(ssl, this);
  BIO* bio = BIO_new(descriptorMethod());
  if (bio) BIO_set_data(bio, reinterpret_cast<void*>(static_cast<intptr_t>(socket.native_handle())));
  SSL_set_bio(ssl, bio, bio);
  SSL_set_connect_state(ssl);
  asio::error_code notAddress;
  asio::ip::make_address(peerName, notAddress);
  if (notAddress) {
    SSL_set_tlsext_host_name(ssl, peerName.c_str());
    SSL_set1_host(ssl, peerName.c_str());
  } else {
    X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl), peerName.c_str());
  }
  X509_VERIFY_PARAM_set_hostflags(SSL_get0_param(ssl), X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
  // OpenSSL spends a TLS 1.3 session it resumes; a copy keeps the kept one
  // good for the next connection (FTP resumes one session on every data
  // connection).
  if (!resume.empty()) {
    SSL_SESSION* copy = SSL_SESSION_dup(resume.get());
    if (copy) SSL_set_session(ssl, copy);
    SSL_SESSION_free(copy);
    context.groups.offerFirst(ssl, resume.group());
  }
}

TlsTransport::~TlsTransport() = default;

int TlsTransport::keepSession(ssl_st* ssl, ssl_session_st* session) {
  auto* transport = static_cast<TlsTransport*>(SSL_get_app_data(ssl));
  if (!transport) return 0;
  transport->newest_ = TlsSession(session, SSL_get_negotiated_group(ssl));
  return 1;  // the reference is ours now
}

void TlsTransport::handshake(asio::error_code& ec) {
  if (!ssl_) {
    ec = asio::error_code(1, tlsCategory());
    return;
  }
  ERR_clear_error();
  const int result = SSL_do_handshake(ssl_.get());
  ec = result == 1 ? asio::error_code() : outcome(result, true);
}

void TlsTransport::finish(asio::error_code& ec) {
  push(ec);
  if (ec) return;
  ERR_clear_error();
  const int result = SSL_shutdown(ssl_.get());
  ec = result >= 0 ? asio::error_code() : outcome(result, false);
}

// After a write that would block, OpenSSL wants the same bytes offered
// again: they stay in place, unchanged, until all of them have gone.
void TlsTransport::push(asio::error_code& ec) {
  ec.clear();
  pushing_ = true;
  while (outgoingSent_ < outgoing_.size()) {
    outgoingSent_ += encrypt(std::span(outgoing_).subspan(outgoingSent_), ec);
    if (ec) return;
  }
  outgoing_.clear();
  outgoingSent_ = 0;
  pushing_ = false;
}

std::size_t TlsTransport::poll(asio::error_code& ec) {
  ec.clear();
  if (begin_ == end_) {
    ERR_clear_error();
    const int result = SSL_read(ssl_.get(), buffer_.data(), static_cast<int>(buffer_.size()));
    if (result <= 0) {
      ec = outcome(result, false);
      return 0;
    }
    begin_ = 0;
    end_ = static_cast<std::size_t>(result);
  }
  return end_ - begin_ + static_cast<std::size_t>(SSL_pending(ssl_.get()));
}

// What poll() took comes first, then whole records straight into the
// caller's buffer until the connection has nothing more.
std::size_t TlsTransport::read(std::span<uint8_t> into, asio::error_code& ec) {
  ec.clear();
  const std::size_t taken = std::min(into.size(), end_ - begin_);
  std::copy_n(buffer_.data() + begin_, taken, into.data());
  begin_ += taken;
  std::size_t count = taken;
  while (count < into.size()) {
    ERR_clear_error();
    const int chunk = static_cast<int>(std::min<std::size_t>(into.size() - count, INT_MAX));
    const int result = SSL_read(ssl_.get(), into.data() + count, chunk);
    if (result <= 0) {
      const asio::error_code stop = outcome(result, false);
      if (count == 0) ec = stop;
      break;
    }
    count += static_cast<std::size_t>(result);
  }
  return count;
}

bool TlsTransport::holdsBytes() const { return begin_ != end_ || SSL_has_pending(ssl_.get()) == 1; }

// With more to come (an upload stream) the bytes are gathered: a full
// record goes before more is taken, and the piece that fills a record counts
// as taken even when the record must wait for the connection (the next
// write, push or finish sends it, keeping SSL_write's retry rule itself).
// Otherwise what was gathered goes first, then the bytes as they come, under
// SSL_write's retry rule: after WANT_WRITE it must be called again with the
// same remaining bytes (at least as many), though they may have moved
// (SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER); the socket's send queue keeps it
// (see SocketTransport::write).
std::size_t TlsTransport::write(std::span<const uint8_t> bytes, bool moreToCome, asio::error_code& ec) {
  ec.clear();
  if (!moreToCome || pushing_ || outgoing_.size() == kRecordSize) {
    push(ec);
    if (ec) return 0;
  }
  if (!moreToCome) return encrypt(bytes, ec);
  outgoing_.reserve(kRecordSize);
  const std::size_t taken = std::min(bytes.size(), kRecordSize - outgoing_.size());
  outgoing_.insert(outgoing_.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(taken));
  if (outgoing_.size() == kRecordSize) {
    push(ec);
    if (ec == asio::error::would_block) ec.clear();
  }
  return taken;
}

std::size_t TlsTransport::encrypt(std::span<const uint8_t> bytes, asio::error_code& ec) {
  ec.clear();
  if (bytes.empty()) return 0;
  ERR_clear_error();
  const int chunk = static_cast<int>(std::min<std::size_t>(bytes.size(), INT_MAX));
  const int result = SSL_write(ssl_.get(), bytes.data(), chunk);
  if (result > 0) return static_cast<std::size_t>(result);
  ec = outcome(result, false);
  return 0;
}

asio::error_code TlsTransport::outcome(int result, bool handshaking) {
  const int systemError = errno;
  const int error = SSL_get_error(ssl_.get(), result);
  switch (error) {
    case SSL_ERROR_WANT_READ:
      wait_ = Wait::Read;
      return asio::error::would_block;
    case SSL_ERROR_WANT_WRITE:
      wait_ = Wait::Write;
      return asio::error::would_block;
    case SSL_ERROR_ZERO_RETURN:
      if (!handshaking) return asio::error::eof;
      break;
    case SSL_ERROR_SSL:
      // The peer's plain end, without the closing alert: OpenSSL fails the
      // read that finds it, and every later one.
      if (!handshaking && (endedWithoutCloseNotify_ ||
                           ERR_GET_REASON(ERR_peek_error()) == SSL_R_UNEXPECTED_EOF_WHILE_READING)) {
        return endedPlainly();
      }
      break;
    case SSL_ERROR_SYSCALL:
      // Nothing queued: a failed system call, or the peer's plain end.
      if (ERR_peek_error() == 0 && systemError != 0) return asio::error_code(systemError, asio::system_category());
      if (ERR_peek_error() == 0 && !handshaking) return endedPlainly();
      break;
    default:
      break;
  }
  describe(handshaking);
  return asio::error_code(1, tlsCategory());
}

// The end all the same, remembered as one without the closing alert.
asio::error_code TlsTransport::endedPlainly() {
  endedWithoutCloseNotify_ = true;
  return asio::error::eof;
}

void TlsTransport::describe(bool handshaking) {
  if (!failureText_.empty()) return;
  const long verified = SSL_get_verify_result(ssl_.get());
  if (handshaking && verified != X509_V_OK) {
    failureText_ = std::string("The server's TLS certificate was refused: ") + X509_verify_cert_error_string(verified);
  } else if (ERR_peek_error() == 0 || ERR_GET_REASON(ERR_peek_error()) == SSL_R_UNEXPECTED_EOF_WHILE_READING) {
    failureText_ = "The TLS handshake failed: the server closed the connection";
  } else {
    failureText_ = std::string(handshaking ? "The TLS handshake failed: " : "The TLS connection failed: ") +
                   reasonText();
  }
}

SocketFailure TlsTransport::failure(const asio::error_code& ec) const {
  if (ec.category() != tlsCategory()) return socketFailure(ec);
  return {sockerr::SecureChannel, fromUtf8(failureText_)};
}

TlsSession TlsTransport::session() const {
  if (!newest_.empty()) return newest_;
  return TlsSession(SSL_get1_session(ssl_.get()), SSL_get_negotiated_group(ssl_.get()));
}

bool TlsTransport::sessionReused() const { return ssl_ && SSL_session_reused(ssl_.get()) == 1; }

}  // namespace skein10::events

#include "platform/events/TlsSession.h"

#include <openssl/ssl.h>

namespace skein10 {

TlsSession::TlsSession(ssl_session_st* session, int group) : group_(group) {
  if (session) session_.reset(session, SSL_SESSION_free);
}

}  // namespace skein10

#include "ftp/FtpServerAddress.h"

#include "ftp/FtpError.h"
#include "platform/events/HostAddress.h"

namespace skein10 {

namespace {

constexpr char16_t kUnknownScheme[] =
    u"The server must be a host name or address, or one after ftpes:// (explicit TLS) or ftps:// (implicit TLS).";

String lowerCase(StringView text) {
  String lower(text);
  for (char16_t& c : lower) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return lower;
}

}  // namespace

FtpServerAddress FtpServerAddress::parse(const String& server) {
  FtpServerAddress address;
  const std::size_t mark = server.find(u"://");
  address.host = mark == String::npos ? server : server.substr(mark + 3);
  if (mark != String::npos) {
    const String scheme = lowerCase(StringView(server).substr(0, mark));
    if (scheme == u"ftpes") {
      address.security = Security::Explicit;
    } else if (scheme == u"ftps") {
      address.security = Security::Implicit;
    } else {
      throw FtpError::invalidCall(kUnknownScheme);
    }
    if (address.host.empty()) throw FtpError::invalidCall(kUnknownScheme);
  }
  address.peerName = events::withoutBrackets(address.host);
  return address;
}

}  // namespace skein10

#include "ftp/FtpPassiveReply.h"

#include <algorithm>

#include "ftp/FtpError.h"
#include "skein10/Variant.h"

namespace skein10 {

namespace {

Error unreadable(StringView reply) {
  return FtpError::session(u"The reply to PASV holds no valid data address: " + String(reply));
}

int32_t portOf(StringView high, StringView low) {
  try {
    double port = double(Variant(String(high)).toLong()) * 256 + Variant(String(low)).toLong();
    return convert(Variant(port), VarType::Long).toLong();
  } catch (const Error&) {
    return 0;
  }
}

}  // namespace

FtpPassiveReply FtpPassiveReply::parse(StringView reply) {
  std::size_t end = std::min(reply.rfind(u')'), reply.size());
  std::size_t open = reply.substr(0, end).rfind(u'(');
  if (open == StringView::npos) throw unreadable(reply);
  StringView group = reply.substr(open + 1, end - open - 1);
  std::size_t lowComma = group.rfind(u',');
  if (lowComma == StringView::npos || lowComma == 0) throw unreadable(reply);
  std::size_t highComma = group.rfind(u',', lowComma - 1);
  if (highComma == StringView::npos) throw unreadable(reply);
  int32_t port = portOf(group.substr(highComma + 1, lowComma - highComma - 1), group.substr(lowComma + 1));
  if (port < 1 || port > 65535) throw unreadable(reply);
  String host(group.substr(0, highComma));
  std::replace(host.begin(), host.end(), u',', u'.');
  return FtpPassiveReply{std::move(host), port};
}

}  // namespace skein10

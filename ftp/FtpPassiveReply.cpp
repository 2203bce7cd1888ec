#include "ftp/FtpPassiveReply.h"

#include <algorithm>

#include "ftp/FtpError.h"
#include "skein10/Variant.h"

namespace skein10 {

namespace {

Error unreadable(StringView reply, StringView command = u"PASV") {
  return FtpError::session(u"The reply to " + String(command) + u" holds no valid data address: " + String(reply));
}

// One byte of the port: a number from 0 to 255, or -1.
int32_t byteOf(StringView field) {
  try {
    const int32_t value = Variant(String(field)).toLong();
    return value >= 0 && value <= 255 ? value : -1;
  } catch (const Error&) {
    return -1;
  }
}

// The port of its high and low byte; 0 when either is no byte.
int32_t portOf(StringView high, StringView low) {
  const int32_t h = byteOf(high);
  const int32_t l = byteOf(low);
  return h < 0 || l < 0 ? 0 : h * 256 + l;
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

FtpPassiveReply FtpPassiveReply::parseExtended(StringView reply) {
  const std::size_t open = reply.find(u'(');
  const std::size_t close = reply.rfind(u')');
  if (open == StringView::npos || close == StringView::npos || close < open + 5) throw unreadable(reply, u"EPSV");
  StringView group = reply.substr(open + 1, close - open - 1);
  const char16_t separator = group.front();
  if (group.size() < 5 || group.substr(1, 2) != String(2, separator) || group.back() != separator) {
    throw unreadable(reply, u"EPSV");
  }
  StringView digits = group.substr(3, group.size() - 4);
  const bool numeric = !digits.empty() && digits.size() <= 5 &&
                       std::all_of(digits.begin(), digits.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
  const int32_t port = numeric ? Variant(String(digits)).toLong() : 0;  // at most five digits: no overflow
  if (port < 1 || port > 65535) throw unreadable(reply, u"EPSV");
  return FtpPassiveReply{String(), port};
}

}  // namespace skein10

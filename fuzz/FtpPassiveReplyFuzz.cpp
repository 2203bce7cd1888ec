// The 227 reply parser over arbitrary replies: it either fails with the
// session error or names a port from 1 to 65535 and a host taken from the
// reply's last parenthesised group (dotted, no comma left). A well-formed
// reply built from the input parses back to the address it was built from.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>

#include "ftp/FtpError.h"
#include "ftp/FtpPassiveReply.h"

namespace skein10 {
namespace {

void require(bool ok) {
  if (!ok) std::abort();
}

String replaced(String text, char16_t from, char16_t to) {
  for (char16_t& c : text)
    if (c == from) c = to;
  return text;
}

void anyReply(StringView reply) {
  try {
    const FtpPassiveReply parsed = FtpPassiveReply::parse(reply);
    require(parsed.port >= 1 && parsed.port <= 65535);
    require(parsed.host.find(u',') == String::npos);
    require(replaced(String(reply), u',', u'.').find(u'(' + parsed.host + u'.') != String::npos);
  } catch (const Error& e) {
    require(e.number() == 8 && e.source() == kFtpErrorSource);
  }
}

String decimal(unsigned n) {
  const std::string s = std::to_string(n);
  return String(s.begin(), s.end());
}

void wellFormed(FuzzedDataProvider& in) {
  String host;
  for (int i = 0; i < 4; ++i) host += (i ? u"." : u"") + decimal(in.ConsumeIntegral<uint8_t>());
  const auto port = in.ConsumeIntegralInRange<int32_t>(1, 65535);
  String prefix = fromUtf8(in.ConsumeRandomLengthString(64));
  prefix = replaced(replaced(prefix, u'(', u' '), u')', u' ');
  const String reply = u"227 " + prefix + u"(" + replaced(host, u'.', u',') + u"," + decimal(port / 256) + u"," +
                       decimal(port % 256) + u")" + prefix;
  const FtpPassiveReply parsed = FtpPassiveReply::parse(reply);
  require(parsed.host == host && parsed.port == port);
}

}  // namespace
}  // namespace skein10

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace skein10;
  anyReply(fromUtf8(std::string_view(reinterpret_cast<const char*>(data), size)));
  FuzzedDataProvider in(data, size);
  wellFormed(in);
  return 0;
}

// The 229 reply parser over arbitrary replies: it either fails with the
// session error or names a port from 1 to 65535, no host, and digits of the
// reply's first parenthesised group. A well-formed reply built from the
// input (any separator but a digit, any text around the group without
// another group) parses back to the port it was built from.
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

String decimal(unsigned n) {
  const std::string s = std::to_string(n);
  return String(s.begin(), s.end());
}

String without(String text, char16_t a, char16_t b) {
  std::erase(text, a);
  std::erase(text, b);
  return text;
}

void anyReply(StringView reply) {
  try {
    const FtpPassiveReply parsed = FtpPassiveReply::parseExtended(reply);
    require(parsed.port >= 1 && parsed.port <= 65535);
    require(parsed.host.empty());
    const std::size_t open = reply.find(u'(');
    require(open != StringView::npos && reply.find(decimal(static_cast<unsigned>(parsed.port)), open) != StringView::npos);
  } catch (const Error& e) {
    require(e.number() == 8 && e.source() == kFtpErrorSource);
  }
}

void wellFormed(FuzzedDataProvider& in) {
  const auto port = in.ConsumeIntegralInRange<int32_t>(1, 65535);
  char16_t separator = static_cast<char16_t>(in.ConsumeIntegralInRange<int>(33, 126));
  if (separator >= u'0' && separator <= u'9') separator = u'|';
  const String zeros(in.ConsumeIntegralInRange<std::size_t>(0, 5 - decimal(static_cast<unsigned>(port)).size()), u'0');
  const String before = without(fromUtf8(in.ConsumeRandomLengthString(64)), u'(', u')');
  const String after = without(fromUtf8(in.ConsumeRandomLengthString(64)), u'(', u')');
  const String reply = u"229 " + before + u"(" + String(3, separator) + zeros + decimal(static_cast<unsigned>(port)) +
                       separator + u")" + after;
  require(FtpPassiveReply::parseExtended(reply).port == port);
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

// The command-line host's URL splitting over arbitrary text: it either
// refuses with a UsageError or names a host and a port from 1 to 65535,
// with no line end or NUL in the user, the password or a name of the path
// (they go into USER, PASS and CWD commands as they are), and no empty name
// in the path ("/" only as its first). A URL rebuilt from the user, password and
// port it found splits into the same ones again, and the URL as it may be
// shown hides a password it holds.
#include <curl/curl.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "host/FtpUrl.h"
#include "host/UsageError.h"

namespace skein10::host {
namespace {

void require(bool ok) {
  if (!ok) std::abort();
}

bool sameLogin(const FtpUrl& a, const FtpUrl& b) {
  return a.user == b.user && a.password == b.password && a.port == b.port;
}

bool safeInCommand(const std::string& text) {
  return text.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

bool validPort(const std::string& port) {
  if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos) return false;
  const int n = std::stoi(port);
  return n >= 1 && n <= 65535;
}

struct CurlFree {
  void operator()(char* text) const { curl_free(text); }
};

std::string escaped(const std::string& text) {
  std::unique_ptr<char, CurlFree> out(curl_easy_escape(nullptr, text.data(), static_cast<int>(text.size())));
  require(out != nullptr);
  return out.get();
}

// A URL of the user, password and port, the first two percent-encoded by
// libcurl. The host is left out of the round trip: libcurl's reading of a
// host is its own (it decodes "%30" to "0", and a second reading makes that
// "0.0.0.0"), nothing this splitting adds.
std::string rebuilt(const FtpUrl& parts) {
  const std::string password = parts.password ? ":" + escaped(*parts.password) : "";
  const std::string login = parts.user ? escaped(*parts.user) + password + "@" : "";
  return "ftp://" + login + "host:" + parts.port;
}

}  // namespace
}  // namespace skein10::host

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace skein10::host;
  const std::string text(reinterpret_cast<const char*>(data), size);
  FtpUrl parts;
  try {
    parts = splitFtpUrl(text);
  } catch (const UsageError&) {
    return 0;
  }
  require(!parts.host.empty() && validPort(parts.port));
  require(parts.host.front() != '[' && parts.host.back() != ']');
  require(safeInCommand(parts.user.value_or("")) && safeInCommand(parts.password.value_or("")));
  for (std::size_t i = 0; i < parts.path.size(); ++i)
    require(!parts.path[i].empty() && safeInCommand(parts.path[i]) && (parts.path[i] != "/" || i == 0));
  if (parts.user && parts.scheme == "ftp") require(sameLogin(splitFtpUrl(rebuilt(parts)), parts));
  if (parts.password && !parts.password->empty()) require(maskedUrl(text).find("***") != std::string::npos);
  return 0;
}

#include "host/FtpUrl.h"

#include <curl/curl.h>

#include <array>
#include <memory>
#include <string_view>

#include "host/UsageError.h"

namespace skein10::host {
namespace {

// The schemes the host takes, each with the port it means when the URL names none.
struct Scheme {
  std::string_view name;
  std::string_view defaultPort;
};
constexpr std::array kSchemes{Scheme{"ftp", "21"}, Scheme{"ftpes", "21"}, Scheme{"ftps", "990"}};

constexpr char kForm[] = "SCHEME://[USER[:PASS]@]HOST[:PORT][/PATH] (ftp://, ftpes://, ftps://)";

struct UrlCleanup {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct CurlFree {
  void operator()(char* text) const { curl_free(text); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlCleanup>;

std::optional<std::string> part(CURLU* url, CURLUPart which, unsigned flags = 0) {
  char* raw = nullptr;
  const CURLUcode code = curl_url_get(url, which, &raw, flags);
  std::unique_ptr<char, CurlFree> text(raw);
  if (code == CURLUE_URLDECODE) throw UsageError("the URL holds an invalid percent-encoding");
  if (code != CURLUE_OK || !text) return std::nullopt;
  return std::string(text.get());
}

// Parsed with the scheme required, so a bare "host" is no URL.
std::optional<UrlHandle> parse(const std::string& text) {
  UrlHandle url(curl_url());
  if (!url) throw std::bad_alloc();
  if (curl_url_set(url.get(), CURLUPART_URL, text.c_str(), CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK)
    return std::nullopt;
  return url;
}

const Scheme* schemeOf(CURLU* url) {
  const auto name = part(url, CURLUPART_SCHEME);
  for (const Scheme& scheme : kSchemes)
    if (name == scheme.name) return &scheme;
  return nullptr;
}

bool safeInCommand(const std::string& text) {
  return text.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

std::string percentDecoded(std::string_view name) {
  int length = 0;
  std::unique_ptr<char, CurlFree> decoded(
      curl_easy_unescape(nullptr, name.data(), static_cast<int>(name.size()), &length));
  if (!decoded) throw std::bad_alloc();
  std::string text(decoded.get(), static_cast<std::size_t>(length));
  if (!safeInCommand(text)) throw UsageError("a name in the URL's path holds CR, LF or NUL");
  return text;
}

// "/pub/in%20coming/" gives {"pub", "in coming"}; "//etc/x" gives {"/", "etc", "x"}.
std::vector<std::string> pathNames(std::string_view path) {
  std::vector<std::string> names;
  if (path.starts_with("//")) names.emplace_back("/");
  while (!path.empty()) {
    const auto slash = path.find('/');
    const std::string_view name = path.substr(0, slash);
    if (!name.empty()) names.push_back(percentDecoded(name));
    path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
  }
  return names;
}

std::string withoutBrackets(std::string host) {
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') return host.substr(1, host.size() - 2);
  return host;
}

}  // namespace

FtpUrl splitFtpUrl(const std::string& text) {
  const auto url = parse(text);
  if (!url) throw UsageError("the URL '" + maskedUrl(text) + "' is not of the form " + kForm);
  const Scheme* scheme = schemeOf(url->get());
  if (!scheme) throw UsageError("the URL must start with ftp://, ftpes:// or ftps://");
  if (part(url->get(), CURLUPART_QUERY) || part(url->get(), CURLUPART_FRAGMENT))
    throw UsageError("the URL has a query or a fragment; an ftp:// URL ends at its PATH");
  const std::string path = part(url->get(), CURLUPART_PATH).value_or("/");
  auto user = part(url->get(), CURLUPART_USER, CURLU_URLDECODE);
  if (user && user->empty()) user.reset();
  const auto host = part(url->get(), CURLUPART_HOST);
  if (!host || host->empty()) throw UsageError("the URL names no host");
  auto port = part(url->get(), CURLUPART_PORT).value_or(std::string(scheme->defaultPort));
  // libcurl takes 0 as a port; nothing can be reached there.
  if (port == "0") throw UsageError("the URL's PORT must be a number from 1 to 65535");
  return FtpUrl{std::string(scheme->name),
                std::move(user),
                part(url->get(), CURLUPART_PASSWORD, CURLU_URLDECODE),
                withoutBrackets(*host),
                std::move(port),
                pathNames(path),
                path.empty() || path.ends_with('/')};
}

std::string FtpUrl::serverText() const {
  if (scheme == "ftp") return host;
  return scheme + "://" + (host.find(':') != std::string::npos ? "[" + host + "]" : host);
}

std::string maskedUrl(const std::string& text) {
  const auto url = parse(text);
  if (!url) {
    // Not a URL libcurl takes apart: hide whatever could be a password.
    const auto at = text.rfind('@');
    const auto colon = text.find(':', text.find("//") == std::string::npos ? 0 : text.find("//") + 2);
    if (at == std::string::npos || colon == std::string::npos || colon > at) return text;
    return text.substr(0, colon + 1) + "***" + text.substr(at);
  }
  if (!part(url->get(), CURLUPART_PASSWORD)) return text;
  curl_url_set(url->get(), CURLUPART_PASSWORD, "***", 0);
  return part(url->get(), CURLUPART_URL).value_or(text);
}

}  // namespace skein10::host

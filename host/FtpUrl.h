#pragma once
// The server part of an `skein10 ftp` URL: SCHEME://[USER[:PASS]@]HOST[:PORT],
// where HOST may be a name, an IPv4 address or an IPv6 address in brackets,
// and SCHEME is ftp, ftpes (explicit TLS) or ftps (implicit TLS).

#include <optional>
#include <string>

namespace skein10::host {

struct FtpUrl {
  std::string scheme;                   // in lower case: "ftp", "ftpes" or "ftps"
  std::optional<std::string> user;      // percent-decoded; none when the URL names no user
  std::optional<std::string> password;  // percent-decoded; none when the URL has no ":PASS"
  std::string host;                     // an IPv6 address without its brackets
  std::string port;                     // the scheme's port when the URL names none

  // The server text for the session's Connect: the host, after "ftpes://"
  // or "ftps://" (an IPv6 address then in brackets) when TLS is asked for.
  std::string serverText() const;
};

// Splits the URL with libcurl's URL parser; UsageError when it is not a URL
// of a known scheme with a host, or when it names a path, a query or a
// fragment, a user or password that holds CR, LF or NUL, or a port that is
// not a number from 1 to 65535.
FtpUrl splitFtpUrl(const std::string& url);

// The URL as it may be shown: a password replaced by "***".
std::string maskedUrl(const std::string& url);

}  // namespace skein10::host

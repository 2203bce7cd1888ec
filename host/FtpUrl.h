#pragma once
// An `skein10 ftp` URL: SCHEME://[USER[:PASS]@]HOST[:PORT][/PATH], where
// HOST may be a name, an IPv4 address or an IPv6 address in brackets, and
// SCHEME is ftp, ftpes (explicit TLS) or ftps (implicit TLS). The PATH is a
// list of names separated by "/", each percent-decoded on its own (so "%2F"
// stays inside its name), as other FTP clients read it.

#include <optional>
#include <string>
#include <vector>

namespace skein10::host {

struct FtpUrl {
  std::string scheme;                   // in lower case: "ftp", "ftpes" or "ftps"
  std::optional<std::string> user;      // percent-decoded; none when the URL names no user
  std::optional<std::string> password;  // percent-decoded; none when the URL has no ":PASS"
  std::string host;                     // an IPv6 address without its brackets
  std::string port;                     // the scheme's port when the URL names none
  // The PATH's names, percent-decoded, empty ones left out; "/" first when
  // the path starts with "//" (a folder from the server's root).
  std::vector<std::string> path;
  // Whether the PATH names a folder: none at all, or one that ends in "/".
  bool folderPath = true;

  // The server text for the session's Connect: the host, after "ftpes://"
  // or "ftps://" (an IPv6 address then in brackets) when TLS is asked for.
  std::string serverText() const;
};

// Splits the URL with libcurl's URL parser; UsageError when it is not a URL
// of a known scheme with a host, or when it has a query or a fragment, a
// user, password or path name that holds CR, LF or NUL, or a port that is
// not a number from 1 to 65535.
FtpUrl splitFtpUrl(const std::string& url);

// The URL as it may be shown: a password replaced by "***".
std::string maskedUrl(const std::string& url);

}  // namespace skein10::host

#pragma once
// Who the `skein10 ftp` session logs in as, from the places a user may give
// it, first found first:
//   user:      the URL, -u USER[:PASS], the .netrc entry of the host (--netrc),
//              else "anonymous";
//   password:  the URL, -u, the .netrc entry, $SKEIN10_FTP_PASSWORD, a prompt
//              without echo on the terminal; "anonymous@" for an anonymous
//              login, else empty (and the host says so).

#include <functional>
#include <optional>
#include <string>

#include "host/FtpUrl.h"

namespace skein10::host {

inline constexpr char kAnonymousUser[] = "anonymous";
inline constexpr char kAnonymousPassword[] = "anonymous@";

struct LoginSources {
  std::optional<std::string> userOption;  // the value of -u, USER[:PASS]
  bool useNetrc = false;
  const char* passwordVariable = nullptr;  // $SKEIN10_FTP_PASSWORD, nullptr when unset or empty
  // The .netrc file's text; none when there is no such file.
  std::function<std::optional<std::string>()> netrcText;
  // Asks for the password of a user; none when there is no terminal to ask on.
  std::function<std::optional<std::string>(const std::string& user)> prompt;
};

struct Login {
  std::string user;
  std::string password;
  bool noPassword = false;  // no place gave one: the password is empty
};

// UsageError when both the URL and -u name a user.
Login resolveLogin(const FtpUrl& url, const LoginSources& sources);

// The real sources of this process: ~/.netrc, $SKEIN10_FTP_PASSWORD, and the
// terminal when standard input is one.
LoginSources processLoginSources(std::optional<std::string> userOption, bool useNetrc);

}  // namespace skein10::host

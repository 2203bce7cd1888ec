#include "host/FtpLogin.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "host/Descriptor.h"
#include "host/Interruption.h"
#include "host/Netrc.h"
#include "host/UsageError.h"

namespace skein10::host {
namespace {

struct Credentials {
  std::optional<std::string> user;
  std::optional<std::string> password;
};

Credentials fromOption(const std::optional<std::string>& option) {
  if (!option) return {};
  const auto colon = option->find(':');
  if (colon == std::string::npos) return {*option, std::nullopt};
  return {option->substr(0, colon), option->substr(colon + 1)};
}

Credentials fromNetrc(const LoginSources& sources, const std::string& host, const std::optional<std::string>& user) {
  if (!sources.useNetrc || !sources.netrcText) return {};
  const auto text = sources.netrcText();
  if (!text) return {};
  const auto entry = findNetrcEntry(parseNetrc(*text), host, user);
  if (!entry) return {};
  return {entry->login, entry->password};
}

Login passwordFor(const std::string& user, const LoginSources& sources) {
  if (sources.passwordVariable) return {user, sources.passwordVariable};
  if (user == kAnonymousUser) return {user, kAnonymousPassword};
  if (sources.prompt)
    if (auto typed = sources.prompt(user)) return {user, *typed};
  return {user, {}, true};
}

// Terminal echo off for as long as the object lives.
class EchoOff {
 public:
  explicit EchoOff(int fd) : fd_(fd), saved_(), changed_(::tcgetattr(fd, &saved_) == 0) {
    if (!changed_) return;
    termios quiet = saved_;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    changed_ = ::tcsetattr(fd, TCSAFLUSH, &quiet) == 0;
  }
  ~EchoOff() {
    if (changed_) ::tcsetattr(fd_, TCSAFLUSH, &saved_);
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  int fd_;
  termios saved_;
  bool changed_;
};

void writeAll(int fd, const std::string& text) {
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

std::optional<std::string> promptOnTerminal(const std::string& user) {
  const Descriptor tty{::open("/dev/tty", O_RDWR | O_CLOEXEC)};
  if (tty.fd < 0) return std::nullopt;
  writeAll(tty.fd, "Enter host password for user '" + user + "':");
  std::string typed;
  {
    // Ctrl-C (or SIGTERM, SIGHUP) ends the read instead of the process, so
    // the terminal gets its echo back before the program ends by the signal.
    const Interruption interruption;
    const EchoOff echoOff(tty.fd);
    char c = 0;
    while (!Interruption::requested() && ::read(tty.fd, &c, 1) == 1 && c != '\n') typed += c;
  }
  writeAll(tty.fd, "\n");
  if (Interruption::requested()) Interruption::endBy(Interruption::signal());
  return typed;
}

std::optional<std::string> netrcFile() {
  const char* home = std::getenv("HOME");
  if (!home || !*home) return std::nullopt;
  std::ifstream in(std::filesystem::path(home) / ".netrc", std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

Login resolveLogin(const FtpUrl& url, const LoginSources& sources) {
  const Credentials option = fromOption(sources.userOption);
  if (url.user && option.user) throw UsageError("name the user either in the URL or with -u, not both");
  Credentials given{url.user ? url.user : option.user, url.user ? url.password : option.password};
  const Credentials netrc = fromNetrc(sources, url.host, given.user);
  const std::string user = given.user.value_or(netrc.user.value_or(kAnonymousUser));
  if (given.password) return {user, *given.password};
  if (netrc.password && netrc.user.value_or(user) == user) return {user, *netrc.password};
  return passwordFor(user, sources);
}

LoginSources processLoginSources(std::optional<std::string> userOption, bool useNetrc) {
  LoginSources sources;
  sources.userOption = std::move(userOption);
  sources.useNetrc = useNetrc;
  // Set but empty counts as unset, as `SKEIN10_FTP_PASSWORD= skein10 ...` means.
  const char* variable = std::getenv("SKEIN10_FTP_PASSWORD");
  sources.passwordVariable = variable && *variable ? variable : nullptr;
  sources.netrcText = netrcFile;
  if (::isatty(STDIN_FILENO)) sources.prompt = promptOnTerminal;
  return sources;
}

}  // namespace skein10::host

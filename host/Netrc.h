#pragma once
// The login entries of a .netrc file, read as curl and ftp read them:
// "machine NAME login USER password PASS" entries and one optional
// "default login USER password PASS"; tokens are separated by blanks or line
// ends and may be double-quoted (with \" and \\ inside); "macdef NAME" skips
// its macro up to the next empty line.

#include <optional>
#include <string>
#include <vector>

namespace skein10::host {

struct NetrcEntry {
  std::optional<std::string> machine;  // none for the default entry
  std::optional<std::string> login;
  std::optional<std::string> password;
};

std::vector<NetrcEntry> parseNetrc(const std::string& text);

// The entry for `host`: the first machine entry of that name (compared
// without regard to case) whose login is `user` when a user is given, else
// the default entry when its login fits too.
std::optional<NetrcEntry> findNetrcEntry(const std::vector<NetrcEntry>& entries, const std::string& host,
                                         const std::optional<std::string>& user);

}  // namespace skein10::host

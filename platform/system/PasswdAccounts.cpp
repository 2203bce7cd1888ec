#include "platform/system/PasswdAccounts.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace skein10::os {

std::optional<std::string> PasswdAccounts::homeOfEffectiveUser() const {
  const uid_t user = geteuid();
  const long hint = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> text(hint > 0 ? static_cast<std::size_t>(hint) : 1024);
  // The record's strings need room of their own; grow the buffer a bounded
  // number of times when the database says it is too small.
  for (int attempt = 0; attempt < 8; ++attempt) {
    passwd record{};
    passwd* found = nullptr;
    const int rc = getpwuid_r(user, &record, text.data(), text.size(), &found);
    if (rc == ERANGE) {
      text.resize(text.size() * 4);
      continue;
    }
    if (rc != 0 || !found || !found->pw_dir) return std::nullopt;
    return std::string(found->pw_dir);
  }
  return std::nullopt;
}

}  // namespace skein10::os

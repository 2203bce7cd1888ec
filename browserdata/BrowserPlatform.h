#pragma once
// The operating-system services the browser data uses, each replaceable.

#include <memory>

#include "platform/system/FolderSearch.h"
#include "platform/system/SystemMessages.h"
#include "platform/system/UrlCache.h"
#include "platform/system/UserAccounts.h"

namespace skein10 {

struct BrowserPlatform {
  std::shared_ptr<const os::UserAccounts> accounts;
  std::shared_ptr<os::FolderSearch> search;
  std::shared_ptr<os::UrlCache> cache;
  std::shared_ptr<const os::SystemMessages> messages;

  // The machine's own: the account database, the directory search, the
  // library's URL cache store in its default folder and the message table.
  static BrowserPlatform system();
};

}  // namespace skein10

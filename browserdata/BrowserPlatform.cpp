#include "browserdata/BrowserPlatform.h"

#include "platform/system/DirectorySearch.h"
#include "platform/system/MessageTable.h"
#include "platform/system/PasswdAccounts.h"
#include "platform/system/UrlCacheStore.h"

namespace skein10 {

BrowserPlatform BrowserPlatform::system() {
  return BrowserPlatform{std::make_shared<os::PasswdAccounts>(),
                         std::make_shared<os::DirectorySearch>(),
                         std::make_shared<os::UrlCacheStore>(), std::make_shared<os::MessageTable>()};
}

}  // namespace skein10

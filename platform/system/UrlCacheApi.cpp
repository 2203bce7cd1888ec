// The public functions of <skein10/UrlCache.h>: the default store.
#include "skein10/UrlCache.h"

#include "platform/system/UrlCacheStore.h"

namespace skein10 {

std::filesystem::path urlCacheFolder() { return os::UrlCacheStore::defaultFolder(); }

void addUrlCacheEntry(const std::string& url) { os::UrlCacheStore().add(url); }

bool removeUrlCacheEntry(const std::string& url) { return os::UrlCacheStore().remove(url); }

bool hasUrlCacheEntry(const std::string& url) { return os::UrlCacheStore().has(url); }

std::vector<std::string> urlCacheEntries() { return os::UrlCacheStore().list(); }

}  // namespace skein10

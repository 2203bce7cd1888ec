#include "host/CacheCommand.h"

#include <iostream>

#include "host/UsageError.h"
#include "skein10/UrlCache.h"

namespace skein10::host {

int runCache(CommandLine& words) {
  const std::string action = words.take("has, add, remove or list");
  if (action == "list") {
    words.expectEnd();
    for (const std::string& url : urlCacheEntries()) std::cout << url << "\n";
    return 0;
  }
  if (action != "has" && action != "add" && action != "remove")
    throw UsageError("cache takes has, add, remove or list, not '" + action + "'");
  const std::string url = words.take("URL");
  words.expectEnd();
  if (action == "has") std::cout << (hasUrlCacheEntry(url) ? "True" : "False") << "\n";
  else if (action == "add") addUrlCacheEntry(url);
  else removeUrlCacheEntry(url);
  return 0;
}

}  // namespace skein10::host

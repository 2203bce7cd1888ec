#pragma once
// The URL cache as the browser data asks it: does it hold an entry for a URL?

#include <cstdint>
#include <string>
#include "platform/Export.h"

namespace skein10::os {

class SKEIN10_INTERNAL_API UrlCache {
 public:
  virtual ~UrlCache() = default;
  // The size query for the entry of `url` (its exact text, in the locale's
  // encoding). It never succeeds: with an entry it fails with last error 122
  // and *size the entry's size; without one with 2; when the cache can't be
  // read with 5.
  virtual bool GetUrlCacheEntryInfoA(const std::string& url, uint32_t* size) = 0;
};

}  // namespace skein10::os

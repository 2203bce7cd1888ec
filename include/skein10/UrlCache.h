#pragma once
// The current user's URL cache on this machine: the store the browser-data
// class asks (clsKvInetURLCacheA.GetCacheEntryInfoPro), for hosts that keep it.
//
// The store is a folder, $SKEIN10_URLCACHE or by default
// ${XDG_CACHE_HOME:-$HOME/.cache}/skein10/urlcache, with one entry per URL;
// URLs compare by their exact text. Each function throws Error 75 "Path/File
// access error" when the store can't be read or written.

#include <filesystem>
#include <string>
#include <vector>
#include "skein10/Export.h"

namespace skein10 {

// The store's folder.
SKEIN10_API std::filesystem::path urlCacheFolder();
// Adds an entry for `url` (nothing changes when there is one).
SKEIN10_API void addUrlCacheEntry(const std::string& url);
// Removes the entry of `url`; false when there was none.
SKEIN10_API bool removeUrlCacheEntry(const std::string& url);
SKEIN10_API bool hasUrlCacheEntry(const std::string& url);
// Every URL in the store.
SKEIN10_API std::vector<std::string> urlCacheEntries();

}  // namespace skein10

#pragma once
// The library's own URL cache: a folder with one file per URL, named by the
// SHA-256 of the URL's exact text and holding that text.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/system/UrlCache.h"
#include "platform/Export.h"

namespace skein10::os {

class SKEIN10_INTERNAL_API UrlCacheStore final : public UrlCache {
 public:
  // The store in the default folder: $SKEIN10_URLCACHE, or else
  // ${XDG_CACHE_HOME:-$HOME/.cache}/skein10/urlcache.
  UrlCacheStore();
  explicit UrlCacheStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

  static std::filesystem::path defaultFolder();
  const std::filesystem::path& folder() const noexcept { return folder_; }

  // Each of these throws Error 75 when the store can't be read or written.
  void add(const std::string& url);
  // True when there was an entry to remove.
  bool remove(const std::string& url);
  bool has(const std::string& url) const;
  std::vector<std::string> list() const;

  bool GetUrlCacheEntryInfoA(const std::string& url, uint32_t* size) override;

  // The entry's file name: the SHA-256 of the text in hexadecimal.
  static std::string keyOf(const std::string& url);

 private:
  enum class Lookup { Present, Absent, Unreadable };
  Lookup folderState() const;
  Lookup lookup(const std::string& url, std::uintmax_t* size) const;
  std::filesystem::path entryPath(const std::string& url) const { return folder_ / keyOf(url); }

  std::filesystem::path folder_;
};

}  // namespace skein10::os

#include "platform/system/UrlCacheStore.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/system/LastError.h"
#include "platform/system/PasswdAccounts.h"
#include "skein10/Error.h"

namespace skein10::os {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kKeyLength = 2 * 32;  // SHA-256 in hexadecimal

[[noreturn]] void accessError() { throw Error::runtime(errc::PathFileAccess); }

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

// ${XDG_CACHE_HOME:-$HOME/.cache}; a relative XDG_CACHE_HOME is not used, and
// without $HOME the account's home folder stands in.
fs::path cacheHome() {
  const fs::path xdg = environment("XDG_CACHE_HOME");
  if (xdg.is_absolute()) return xdg;
  std::string home = environment("HOME");
  if (home.empty()) home = PasswdAccounts().homeOfEffectiveUser().value_or("/");
  return fs::path(home) / ".cache";
}

bool isKey(const std::string& name) {
  return name.size() == kKeyLength && std::all_of(name.begin(), name.end(), [](unsigned char c) {
           return std::isxdigit(c) != 0;
         });
}

std::string readFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) accessError();
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

UrlCacheStore::UrlCacheStore() : folder_(defaultFolder()) {}

fs::path UrlCacheStore::defaultFolder() {
  const std::string chosen = environment("SKEIN10_URLCACHE");
  if (!chosen.empty()) return chosen;
  return cacheHome() / "skein10" / "urlcache";
}

std::string UrlCacheStore::keyOf(const std::string& url) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_Digest(url.data(), url.size(), digest, &length, EVP_sha256(), nullptr) != 1)
    throw Error::runtime(errc::InternalError);
  char hex[2 * EVP_MAX_MD_SIZE + 1];
  std::size_t written = 0;
  if (OPENSSL_buf2hexstr_ex(hex, sizeof hex, &written, digest, length, '\0') != 1)
    throw Error::runtime(errc::InternalError);
  return std::string(hex);
}

// The folder is checked on its own: a path through a file reads as "not
// found" to a plain status query, and such a store is unreadable, not empty.
UrlCacheStore::Lookup UrlCacheStore::folderState() const {
  std::error_code ec;
  const fs::file_type type = fs::status(folder_, ec).type();
  if (type == fs::file_type::not_found) return Lookup::Absent;
  return !ec && type == fs::file_type::directory ? Lookup::Present : Lookup::Unreadable;
}

UrlCacheStore::Lookup UrlCacheStore::lookup(const std::string& url, std::uintmax_t* size) const {
  if (const Lookup folder = folderState(); folder != Lookup::Present) return folder;
  std::error_code ec;
  const fs::path entry = entryPath(url);
  const fs::file_status status = fs::status(entry, ec);
  if (status.type() == fs::file_type::not_found) return Lookup::Absent;
  if (ec || status.type() != fs::file_type::regular) return Lookup::Unreadable;
  *size = fs::file_size(entry, ec);
  return ec ? Lookup::Unreadable : Lookup::Present;
}

bool UrlCacheStore::GetUrlCacheEntryInfoA(const std::string& url, uint32_t* size) {
  std::uintmax_t entrySize = 0;
  switch (lookup(url, &entrySize)) {
    case Lookup::Present:
      *size = static_cast<uint32_t>(std::min<std::uintmax_t>(entrySize, UINT32_MAX));
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      break;
    case Lookup::Absent:
      SetLastError(ERROR_FILE_NOT_FOUND);
      break;
    case Lookup::Unreadable:
      SetLastError(ERROR_ACCESS_DENIED);
      break;
  }
  return false;
}

bool UrlCacheStore::has(const std::string& url) const {
  std::uintmax_t size = 0;
  const Lookup found = lookup(url, &size);
  if (found == Lookup::Unreadable) accessError();
  return found == Lookup::Present;
}

// Written to a temporary file first and then renamed, so a reader never sees
// half an entry.
void UrlCacheStore::add(const std::string& url) {
  std::error_code ec;
  fs::create_directories(folder_, ec);
  if (ec || folderState() != Lookup::Present) accessError();
  const fs::path entry = entryPath(url);
  fs::path temporary = entry;
  temporary += ".new";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(url.data(), static_cast<std::streamsize>(url.size()));
    out.close();
    if (!out) {
      fs::remove(temporary, ec);
      accessError();
    }
  }
  fs::rename(temporary, entry, ec);
  if (ec) {
    fs::remove(temporary, ec);
    accessError();
  }
}

bool UrlCacheStore::remove(const std::string& url) {
  const Lookup folder = folderState();
  if (folder == Lookup::Absent) return false;
  if (folder == Lookup::Unreadable) accessError();
  std::error_code ec;
  const bool removed = fs::remove(entryPath(url), ec);
  if (ec) accessError();
  return removed;
}

std::vector<std::string> UrlCacheStore::list() const {
  std::vector<std::string> urls;
  const Lookup folder = folderState();
  if (folder == Lookup::Absent) return urls;
  if (folder == Lookup::Unreadable) accessError();
  std::error_code ec;
  fs::directory_iterator it(folder_, ec);
  if (ec) accessError();
  for (const fs::directory_entry& entry : it) {
    if (isKey(entry.path().filename().string()) && entry.is_regular_file(ec))
      urls.push_back(readFile(entry.path()));
  }
  std::sort(urls.begin(), urls.end());
  return urls;
}

}  // namespace skein10::os

#pragma once
// The URL cache look-up and the system's message texts.

#include <cstdint>

#include "browserdata/BrowserPlatform.h"
#include "skein10/String.h"

namespace skein10 {

// Number of the error GetCacheEntryInfo raises.
inline constexpr int32_t kCacheEntryError = 26721;

// True when the URL cache holds an entry for sUrl. Any failure of the look-up
// other than "buffer too small" raises 26721, source EXEName + ".mCacheEntry",
// with the system's text for the failure code. lWhnd is not used.
bool GetCacheEntryInfo(const BrowserPlatform& platform, int32_t lWhnd, const String& sUrl);

// The system's text for an error code, line break included; empty when the
// system has none.
String GetSystemErrorMessage(const os::SystemMessages& messages, int32_t code);

}  // namespace skein10

#include "browserdata/basKvInetURLCacheA.h"

#include <algorithm>
#include <array>

#include "common/App.h"
#include "platform/system/LastError.h"
#include "skein10/Dispatch.h"
#include "skein10/Error.h"

namespace skein10 {

bool GetCacheEntryInfo(const BrowserPlatform& platform, int32_t /*lWhnd*/, const String& sUrl) {
  uint32_t size = 0;
  if (platform.cache->GetUrlCacheEntryInfoA(toUtf8(sUrl), &size)) return false;
  const uint32_t failure = os::GetLastError();
  if (failure == os::ERROR_INSUFFICIENT_BUFFER) return true;
  throw Error(kCacheEntryError, call(*theApp(), u"EXEName").toString() + u".mCacheEntry",
              GetSystemErrorMessage(*platform.messages, static_cast<int32_t>(failure)));
}

String GetSystemErrorMessage(const os::SystemMessages& messages, int32_t code) {
  std::array<char, 256> buffer{};
  const uint32_t n =
      messages.FormatMessageA(os::FORMAT_MESSAGE_FROM_SYSTEM | os::FORMAT_MESSAGE_IGNORE_INSERTS,
                              static_cast<uint32_t>(code), 0, buffer, 256);
  // A count beyond the buffer can't be trusted further than the buffer.
  return fromUtf8(std::string_view(buffer.data(), std::min<std::size_t>(n, buffer.size())));
}

}  // namespace skein10

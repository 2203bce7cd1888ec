#include "host/BrowserCommand.h"

#include <array>
#include <iostream>

#include "host/ValuePrinter.h"
#include "skein10/ClassRegistry.h"
#include "skein10/Dispatch.h"
#include "skein10/Identifiers.h"

namespace skein10::host {

int runBrowser(CommandLine& words) {
  words.expectEnd();
  static constexpr std::array<const char16_t*, 4> kFolders{u"UserProfileDir", u"CookiesDir", u"History",
                                                           u"TempInternetFiles"};
  const ObjectRef browser = CreateObject(ids::kProgIdKvInetURLCacheA);
  const ObjectRef folders = call(*browser, u"colUserInformation").toObject();
  if (!folders) throw Error::runtime(errc::ObjectNotSet);
  for (const char16_t* key : kFolders)
    std::cout << toUtf8(key) << "=" << toUtf8(call(*folders, u"Item", {String(key)}).toString()) << "\n";
  call(*browser, u"GetCookiesFiles");
  // The collection may still be nothing when the folder held no names.
  const Variant cookies = call(*browser, u"colCookiesFiles");
  if (cookies.toObject()) printValue(cookies, std::cout);
  return 0;
}

}  // namespace skein10::host

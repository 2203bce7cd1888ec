#include "browserdata/clsKvInetURLCacheA.h"

#include <array>
#include <cstring>

#include "browserdata/basKvInetURLCacheA.h"
#include "common/ReportingProcedure.h"
#include "platform/system/UserProfileDirectory.h"
#include "skein10/Identifiers.h"

namespace skein10 {
namespace {

// The name under which this class reports its errors.
constexpr char16_t czInetURLCache[] = u"czInetURLCache";

struct Folder {
  const char16_t* key;
  const char16_t* suffix;  // appended to the profile folder as it is
};
constexpr Folder kFolders[] = {
    {u"UserProfileDir", u""},
    {u"CookiesDir", u"\\Cookies"},
    {u"History", u"\\Local Settings\\History"},
    {u"TempInternetFiles", u"\\Local Settings\\Temporary Internet Files"},
};

// The profile folder buffer is 255 bytes; the folder comes back whole only
// when it fits with its terminating NUL.
constexpr uint32_t kProfileBufferSize = 255;

String textUpToNul(const char* text, std::size_t capacity) {
  return fromUtf8(std::string_view(text, strnlen(text, capacity)));
}

}  // namespace

Collection& clsKvInetURLCacheA::use(Ref<Collection>& slot) {
  if (!slot) slot = makeRef<Collection>();
  return *slot;
}

// The two collections are public variables: a read hands out the
// collection (created if there is none), an object assignment replaces it.
Status clsKvInetURLCacheA::readSlot(Ref<Collection>& slot, Ref<Collection>* result) {
  return guarded(result, [&] {
    use(slot);
    return slot;
  });
}

Status clsKvInetURLCacheA::writeSlot(Ref<Collection>& slot, Ref<Collection> value) {
  return guarded([&] { slot = std::move(value); });
}

Status clsKvInetURLCacheA::get_colUserInformation(Ref<Collection>* result) {
  return readSlot(colUserInformation_, result);
}
Status clsKvInetURLCacheA::putref_colUserInformation(Ref<Collection> value) {
  return writeSlot(colUserInformation_, std::move(value));
}
Status clsKvInetURLCacheA::get_colCookiesFiles(Ref<Collection>* result) {
  return readSlot(colCookiesFiles_, result);
}
Status clsKvInetURLCacheA::putref_colCookiesFiles(Ref<Collection> value) {
  return writeSlot(colCookiesFiles_, std::move(value));
}

Status clsKvInetURLCacheA::UserInformation() {
  return guarded([&] { userInformation(); });
}

Status clsKvInetURLCacheA::GetCookiesFiles() {
  return guarded([&] { getCookiesFiles(); });
}

// Every error of the look-up is suppressed: the host sees True or False.
Status clsKvInetURLCacheA::GetCacheEntryInfoPro(const int32_t& lWhnd, const String& sUrl,
                                                bool* result) {
  return guarded(result, [&] {
    try {
      return GetCacheEntryInfo(platform_, lWhnd, sUrl);
    } catch (...) {
      return false;
    }
  });
}

void clsKvInetURLCacheA::userInformation() {
  const ReportingProcedure procedure(String(czInetURLCache) + u".UserInformation");
  std::array<char, kProfileBufferSize> buffer{};
  uint32_t size = kProfileBufferSize;
  // A folder that can't be found leaves the buffer all NUL: the profile
  // folder is then empty, which is not an error.
  procedure.step([&] { (void)os::GetUserProfileDirectoryA(*platform_.accounts, buffer, &size); });
  String profile;
  procedure.step([&] { profile = textUpToNul(buffer.data(), buffer.size()); });
  for (const Folder& folder : kFolders)
    procedure.step([&] { use(colUserInformation_).add(profile + folder.suffix, String(folder.key)); });
}

void clsKvInetURLCacheA::getCookiesFiles() {
  const ReportingProcedure procedure(String(czInetURLCache) + u".GetCookiesFiles");
  String folder;
  // The cookies folder is the second item, read by position.
  procedure.step([&] { folder = use(colUserInformation_).item(Variant(int32_t{2})).toString(); });
  os::FindData record;
  std::unique_ptr<os::FolderSearchHandle> search;
  procedure.step([&] { search = platform_.search->FindFirstFileA(toUtf8(folder + u"\\*"), &record); });
  if (!search) return;
  do {
    procedure.step([&] {
      const String name = textUpToNul(record.cFileName.c_str(), record.cFileName.size());
      if (name == u"." || name == u"..") return;
      use(colCookiesFiles_).add(name, name);
    });
  } while (search->FindNextFileA(&record));
}

const InterfaceInfo& clsKvInetURLCacheA::interfaceInfo() const { return typeInfo(); }

const InterfaceInfo& clsKvInetURLCacheA::typeInfo() {
  using I = _clsKvInetURLCacheA;
  static const InterfaceInfo info{
      u"_clsKvInetURLCacheA",
      ids::kIidClsKvInetURLCacheA,
      {
          member<&I::get_colUserInformation>(u"colUserInformation", MemberKind::Get, 0x40030000),
          member<&I::putref_colUserInformation>(u"colUserInformation", MemberKind::Set,
                                                0x40030000),
          member<&I::get_colCookiesFiles>(u"colCookiesFiles", MemberKind::Get, 0x40030001),
          member<&I::putref_colCookiesFiles>(u"colCookiesFiles", MemberKind::Set, 0x40030001),
          member<&I::UserInformation>(u"UserInformation", MemberKind::Method, 0x60030001),
          member<&I::GetCookiesFiles>(u"GetCookiesFiles", MemberKind::Method, 0x60030002),
          member<&I::GetCacheEntryInfoPro>(u"GetCacheEntryInfoPro", MemberKind::Method,
                                           0x60030003,
                                           {{u"lWhnd", Passing::ByReference}, {u"sUrl", Passing::ByReference}}),
      }};
  return info;
}

ObjectRef createURLCache() { return createURLCacheOn(BrowserPlatform::system()); }

ObjectRef createURLCacheOn(BrowserPlatform platform) {
  Ref<clsKvInetURLCacheA> instance = makeRef<clsKvInetURLCacheA>(std::move(platform));
  instance->userInformation();
  return instance;
}

}  // namespace skein10

#include "common/App.h"

#include "common/LibraryModule.h"

#include <dlfcn.h>
#include <errno.h>

#include <cstring>

#include <filesystem>

#include "skein10/ModuleData.h"

namespace skein10 {
namespace {

// The file of the binary that holds this code: the library when it was
// loaded as one, the program when this code was linked into it. For the
// program the loader only knows the name it was started by, which need not
// be a path, so the kernel's link to it is asked instead.
std::filesystem::path loadedFrom() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&loadedFrom), &info) == 0 || !info.dli_fname) return {};
  std::error_code ec;
  if (std::strcmp(info.dli_fname, program_invocation_name) == 0)
    return std::filesystem::read_symlink("/proc/self/exe", ec);
  std::filesystem::path file = std::filesystem::weakly_canonical(info.dli_fname, ec);
  return ec ? std::filesystem::path(info.dli_fname) : file;
}

String loadedFromFolder() { return fromUtf8(loadedFrom().parent_path().string()); }

template <class T>
Status constant(T* result, T value) {
  return guarded(result, [&] { return value; });
}

}  // namespace

Status App::get_EXEName(String* result) { return constant<String>(result, u"skein10"); }
Status App::get_Path(String* result) {
  return guarded(result, [] { return loadedFromFolder(); });
}
Status App::get_Major(int16_t* result) { return constant<int16_t>(result, 1); }
Status App::get_Minor(int16_t* result) { return constant<int16_t>(result, 0); }
Status App::get_Revision(int16_t* result) { return constant<int16_t>(result, 94); }
Status App::get_Comments(String* result) {
  return constant<String>(result, u"FTP client and local browser data for host programs.");
}
Status App::get_CompanyName(String* result) {
  return constant<String>(result, u"The Skein10 Developers");
}
Status App::get_FileDescription(String* result) {
  return constant<String>(result, u"Skein10 in-process component library");
}
Status App::get_ProductName(String* result) { return constant<String>(result, u"Skein10"); }
Status App::get_LegalTrademarks(String* result) {
  return constant<String>(result, u"Skein10 is a name of The Skein10 Developers.");
}
Status App::get_LegalCopyright(String* result) {
  return constant<String>(result, u"Copyright (C) 2026 The Skein10 Developers. All rights reserved.");
}

const InterfaceInfo& App::interfaceInfo() const {
  static const InterfaceInfo info{
      u"_App",
      u"{6B1E0A40-5C3D-4E8F-9A21-0F0D3C2B1B01}",
      {
          member<&App::get_EXEName>(u"EXEName", MemberKind::Get, 0x68030000),
          member<&App::get_Path>(u"Path", MemberKind::Get, 0x68030001),
          member<&App::get_Major>(u"Major", MemberKind::Get, 0x68030002),
          member<&App::get_Minor>(u"Minor", MemberKind::Get, 0x68030003),
          member<&App::get_Revision>(u"Revision", MemberKind::Get, 0x68030004),
          member<&App::get_Comments>(u"Comments", MemberKind::Get, 0x68030005),
          member<&App::get_CompanyName>(u"CompanyName", MemberKind::Get, 0x68030006),
          member<&App::get_FileDescription>(u"FileDescription", MemberKind::Get, 0x68030007),
          member<&App::get_ProductName>(u"ProductName", MemberKind::Get, 0x68030008),
          member<&App::get_LegalTrademarks>(u"LegalTrademarks", MemberKind::Get, 0x68030009),
          member<&App::get_LegalCopyright>(u"LegalCopyright", MemberKind::Get, 0x6803000A),
      }};
  return info;
}

ObjectRef theApp() {
  Variant& slot = moduleData("App.Instance");
  if (slot.isEmpty()) {
    // The application object lives in this thread's module data; it counts
    // as a live object so the library stays loaded while it exists.
    auto app = makeRef<App>();
    app->countIn(libraryModule());
    slot = Variant(ObjectRef(app));
  }
  return slot.toObject();
}

}  // namespace skein10

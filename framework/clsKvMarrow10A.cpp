#include "framework/clsKvMarrow10A.h"

#include <iostream>
#include <sstream>

#include "skein10/Dispatch.h"

using namespace skein10;

namespace kvmarrow10 {
namespace {

std::string text(Object& app, const char16_t* name) { return toUtf8(call(app, name).toString()); }

std::string aboutText(Object& app) {
  std::ostringstream out;
  out << text(app, u"ProductName") << "\n"
      << "Version " << text(app, u"Major") << "." << text(app, u"Minor") << "."
      << text(app, u"Revision") << "\n"
      << text(app, u"FileDescription") << "\n"
      << text(app, u"Comments") << "\n"
      << text(app, u"CompanyName") << "\n"
      << text(app, u"LegalCopyright") << "\n"
      << text(app, u"LegalTrademarks") << "\n"
      << "Folder: " << text(app, u"Path") << "\n";
  return out.str();
}

}  // namespace

Status clsKvMarrow10A::AppAboutKvcore(ObjectRef app) {
  return guarded([&] {
    if (!app) throw Error::runtime(errc::ObjectNotSet);
    // Everything is read before anything is written, so a failing read
    // leaves no half-written about box behind.
    std::cout << aboutText(*app) << std::flush;
  });
}

const InterfaceInfo& clsKvMarrow10A::interfaceInfo() const {
  static const InterfaceInfo info{
      u"_clsKvMarrow10A",
      u"{6B1E0A40-5C3D-4E8F-9A21-0F0D3C2B1B13}",
      {
          member<&clsKvMarrow10A::AppAboutKvcore>(u"AppAboutKvcore", MemberKind::Method,
                                                  0x60030000),
      }};
  return info;
}

}  // namespace kvmarrow10

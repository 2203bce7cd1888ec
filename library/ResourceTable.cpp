#include "library/ResourceTable.h"

#include <functional>
#include <optional>

#include "skein10/Error.h"
#include "skein10/Identifiers.h"
#include "common/App.h"
#include "library/ClassSurface.h"
#include "library/TypeLibrary.h"

namespace skein10 {
namespace {

ByteArray bytesOf(const std::string& text) { return ByteArray(text.begin(), text.end()); }

String appText(Status (App::*get)(String*)) {
  const ObjectRef app = theApp();
  String value;
  check((static_cast<App&>(*app).*get)(&value));
  return value;
}

std::string versionRecord() {
  std::string text = "FileVersion=1.00.0094\nProductVersion=1.00.0094\n";
  const std::pair<const char*, Status (App::*)(String*)> fields[] = {
      {"Comments", &App::get_Comments},
      {"CompanyName", &App::get_CompanyName},
      {"FileDescription", &App::get_FileDescription},
      {"ProductName", &App::get_ProductName},
      {"LegalTrademarks", &App::get_LegalTrademarks},
      {"LegalCopyright", &App::get_LegalCopyright},
  };
  for (const auto& [name, get] : fields) text += std::string(name) + "=" + toUtf8(appText(get)) + "\n";
  return text;
}

struct Resource {
  Variant type;  // a number for a standard type, a text for a named one
  int32_t id;
  std::function<ByteArray()> bytes;
};

const std::vector<Resource>& table() {
  static const std::vector<Resource> resources = [] {
    std::vector<Resource> r{
        {Variant(u"TYPELIB"), 1, [] { return bytesOf(typeLibraryText()); }},
        {Variant(kVersionResourceType), 1, [] { return bytesOf(versionRecord()); }},
    };
    int32_t id = 101;
    for (const ClassEntry& c : publicClasses()) {
      r.push_back({Variant(u"CLASSINFO"), id++, [factory = c.factory] {
                     const ObjectRef probe = factory();
                     return bytesOf(toUtf8(probe->interfaceInfo().iid));
                   }});
    }
    return r;
  }();
  return resources;
}

bool sameType(const Variant& a, const Variant& b) {
  const bool aText = a.type() == VarType::String, bText = b.type() == VarType::String;
  if (aText != bText) return false;
  return aText ? foldCase(a.toString()) == foldCase(b.toString()) : a.toLong() == b.toLong();
}

}  // namespace

String LoadResString(int32_t id) { throw Error::resourceNotFound(id); }

ObjectRef LoadResPicture(const Variant& id, int16_t /*kind*/) { throw Error::resourceNotFound(id.toLong()); }

Variant LoadResData(const Variant& id, const Variant& type) {
  const int32_t wanted = id.toLong();
  for (const Resource& r : table())
    if (r.id == wanted && sameType(r.type, type)) return Variant(r.bytes());
  throw Error::resourceNotFound(wanted);
}

}  // namespace skein10

#include "framework/clsKvcoreErrorHandlerA.h"

#include <algorithm>
#include <iostream>

#include "skein10/Dispatch.h"

using namespace skein10;

namespace kvmarrow10 {
namespace {

// A report is one line: line breaks inside a text (system messages end with
// CR LF) are dropped at the end and become spaces inside.
String oneLine(String text) {
  while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n')) text.pop_back();
  std::replace_if(text.begin(), text.end(), [](char16_t c) { return c == u'\r' || c == u'\n'; },
                  u' ');
  return text;
}

String readText(Object& object, const char16_t* name) {
  return oneLine(call(object, name).toString());
}

}  // namespace

Status clsKvcoreErrorHandlerA::ErrorHandlerMessageKv(const ObjectRef& app,
                                                     const ObjectRef& errorObject,
                                                     const String& /*text3*/,
                                                     const String& location,
                                                     const int32_t& /*number5*/,
                                                     const String& /*text6*/,
                                                     const int32_t& /*number7*/,
                                                     Variant /*optional8*/) {
  return guarded([&] {
    if (!errorObject) throw Error::runtime(errc::ObjectNotSet);
    String line = app ? readText(*app, u"EXEName") + u": " : String();
    line += oneLine(location) + u": error " + call(*errorObject, u"Number").toString() + u" (" +
            readText(*errorObject, u"Source") + u"): " + readText(*errorObject, u"Description");
    std::cerr << toUtf8(line) << std::endl;
  });
}

const InterfaceInfo& clsKvcoreErrorHandlerA::interfaceInfo() const {
  static const InterfaceInfo info{
      u"_clsKvcoreErrorHandlerA",
      u"{6B1E0A40-5C3D-4E8F-9A21-0F0D3C2B1B12}",
      {
          member<&clsKvcoreErrorHandlerA::ErrorHandlerMessageKv>(
              u"ErrorHandlerMessageKv", MemberKind::Method, 0x60030000,
              {Passing::ByReference, Passing::ByReference, Passing::ByReference,
               Passing::ByReference, Passing::ByReference, Passing::ByReference,
               Passing::ByReference, Passing::ByValue},
              7),
      }};
  return info;
}

}  // namespace kvmarrow10

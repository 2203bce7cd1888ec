#include "common/basKvcoreCommonA.h"

#include "common/App.h"
#include "common/ReportingProcedure.h"
#include "skein10/ClassRegistry.h"
#include "skein10/Dispatch.h"

namespace skein10 {
namespace {

// Calling a member of no object is the runtime's error 91.
Object& target(const ObjectRef& object) {
  if (!object) throw Error::runtime(errc::ObjectNotSet);
  return *object;
}

}  // namespace

void ErrorHandlerMessageKv_Pro(const ObjectRef& app, const ObjectRef& errorObject,
                               const String& text3, const String& location,
                               const int32_t& number5, const String& text6,
                               const int32_t& number7, Variant optional8) {
  ObjectRef handler = CreateObject(kErrorHandlerProgId);
  call(*handler, u"ErrorHandlerMessageKv",
       {app, errorObject, text3, location, number5, text6, number7, std::move(optional8)},
       InvokeKind::Method);
}

void AppAboutKvcore_Pro() {
  const ReportingProcedure procedure(u"basKvcoreCommonA.AppAboutKvcore_Pro");
  ObjectRef about;
  procedure.step([&] { about = CreateObject(kAboutProgId); });
  procedure.step([&] { call(target(about), u"AppAboutKvcore", {theApp()}, InvokeKind::Method); });
  procedure.step([&] { about.reset(); });
}

}  // namespace skein10

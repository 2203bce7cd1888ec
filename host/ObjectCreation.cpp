#include "host/ObjectCreation.h"

#include "skein10/ClassRegistry.h"
#include "skein10/Component.h"

namespace skein10::host {
namespace {

String storeText() { return fromUtf8(registryPath().string()); }

// Why the registration store did not serve the ProgID.
String reasons(StringView progId) {
  const String named = u"'" + String(progId) + u"'";
  std::optional<RegisteredClass> entry;
  try {
    entry = findRegisteredClass(progId);
  } catch (const Error& error) {
    return u": the registration store " + storeText() + u" can't be read (" + fromUtf8(error.what()) + u")";
  }
  if (!entry) return u": " + named + u" is not registered in " + storeText();
  const String library = fromUtf8(entry->library.string());
  if (const auto failure = componentLibraryError(entry->library))
    return u": " + named + u" is registered in " + storeText() + u" to " + library + u", which can't be loaded (" +
           fromUtf8(failure->what()) + u")";
  return u": " + named + u" is registered in " + storeText() + u" to " + library + u", whose factory failed";
}

}  // namespace

ObjectRef createObject(StringView progId) {
  try {
    return CreateObject(progId);
  } catch (const Error& error) {
    if (error.number() != errc::CantCreateObject) throw;
    throw Error(error.number(), error.source(),
                error.description() + reasons(progId) + u". Run 'skein10 register' to register the components.");
  }
}

}  // namespace skein10::host

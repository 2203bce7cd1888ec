#include "platform/automation/CreationError.h"

#include <filesystem>

#include "skein10/Component.h"

namespace skein10 {
namespace {

constexpr char16_t kAdvice[] = u" ('skein10 register --library FILE' registers a library's classes)";

String pathText(const std::filesystem::path& path) { return fromUtf8(path.string()); }

String storesSearched() {
  String text = pathText(registryPath());
  const auto installed = installedRegistryPath();
  if (!installed.empty()) text += u" or " + pathText(installed);
  return text;
}

String why(StringView progId, const std::optional<Error>& cause) {
  // Appended piece by piece: GCC 12 misreads `u"'" + String(...)` (-Wrestrict).
  String named(u"'");
  named.append(progId).append(u"'");
  std::optional<RegisteredClass> entry;
  try {
    entry = findRegisteredClass(progId);
  } catch (const Error& error) {
    return u"the registration store can't be read (" + fromUtf8(error.what()) + u")";
  }
  if (!entry && cause) return named + u" failed to start (" + fromUtf8(cause->what()) + u")";
  if (!entry) return named + u" is not registered in " + storesSearched() + kAdvice;
  const String registered = named + u" is registered in " + pathText(entry->store) + u" to " + pathText(entry->library);
  if (const auto failure = componentLibraryError(entry->library))
    return registered + u", which can't be loaded (" + fromUtf8(failure->what()) + u")" + kAdvice;
  return registered + u", whose factory failed" + (cause ? u" (" + fromUtf8(cause->what()) + u")" : String());
}

}  // namespace

Error creationError(StringView progId, const std::optional<Error>& cause) {
  return Error(errc::CantCreateObject, kRuntimeSource,
               runtimeErrorText(errc::CantCreateObject) + u": " + why(progId, cause));
}

}  // namespace skein10

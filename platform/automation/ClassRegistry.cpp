#include "skein10/ClassRegistry.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

#include "skein10/Error.h"
#include "platform/automation/CreationError.h"
#include "platform/automation/StoreClassSource.h"

namespace skein10 {
namespace {

// The process's classes and sources. Registration may happen on any thread,
// so the tables are guarded; creation itself runs outside the lock.
struct Registry {
  std::mutex mutex;
  std::map<String, ClassEntry> classes;  // by folded ProgID
  std::vector<std::shared_ptr<ClassSource>> sources;
};

Registry& registry() {
  static Registry instance;
  return instance;
}

Factory registeredFactory(StringView progId) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  auto it = r.classes.find(foldCase(progId));
  return it == r.classes.end() ? Factory() : it->second.factory;
}

std::vector<std::shared_ptr<ClassSource>> sources() {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  return r.sources;
}

// The sources added by components and hosts, then the registration store.
ObjectRef createFromSources(StringView progId) {
  for (const auto& source : sources())
    if (ObjectRef object = source->create(progId)) return object;
  return StoreClassSource::instance()->create(progId);
}

}  // namespace

void registerClass(ClassEntry entry) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  String key = foldCase(entry.progId);
  r.classes.insert_or_assign(std::move(key), std::move(entry));
}

void unregisterClass(StringView progId) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  r.classes.erase(foldCase(progId));
}

void addClassSource(std::shared_ptr<ClassSource> source) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  r.sources.push_back(std::move(source));
}

void removeClassSource(const std::shared_ptr<ClassSource>& source) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  std::erase(r.sources, source);
}

ObjectRef CreateObject(StringView progId) {
  releaseAdoptedObjects();
  ObjectRef object;
  std::optional<Error> cause;
  try {
    const Factory factory = registeredFactory(progId);
    object = factory ? factory() : createFromSources(progId);
  } catch (const Error& error) {
    object.reset();
    cause = error;
  }
  if (!object) throw creationError(progId, cause);
  return object;
}

}  // namespace skein10

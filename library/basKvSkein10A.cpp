#include "library/basKvSkein10A.h"

#include <utility>

#include "skein10/ModuleData.h"

namespace skein10::basKvSkein10A {
namespace {
Variant& slot() { return moduleData("basKvSkein10A.BuddyObject"); }
}  // namespace

ObjectRef BuddyObject() {
  const ObjectRef* held = slot().as<ObjectRef>();
  return held ? *held : ObjectRef();
}

void SetBuddyObject(ObjectRef object) {
  Variant stored = object ? Variant(std::move(object)) : Variant();
  Variant previous = std::exchange(slot(), std::move(stored));
  // `previous` releases the old object here, after the new one is in place.
}

}  // namespace skein10::basKvSkein10A

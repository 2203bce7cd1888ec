#pragma once
// Creation of classes by name.
//
// Components register their classes with a ProgID, a class identifier and a
// factory. CreateObject looks a ProgID up among the registered classes first
// and then asks each class source in turn (the registration store that loads
// libraries by name is one such source).

#include <functional>
#include <memory>
#include <optional>

#include "skein10/Object.h"
#include "skein10/String.h"
#include "skein10/Export.h"

namespace skein10 {

using Factory = std::function<ObjectRef()>;

struct SKEIN10_API ClassEntry {
  String progId;    // "Component.ClassName"
  String classId;   // "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}"
  Factory factory;  // returns a new instance, or throws Error
};

// Registers (or replaces) a class in this process. ProgIDs compare without
// regard to case.
SKEIN10_API void registerClass(ClassEntry entry);
SKEIN10_API void unregisterClass(StringView progId);

// Something else that can create classes by ProgID.
class SKEIN10_API ClassSource {
 public:
  virtual ~ClassSource() = default;
  // A new instance, or nothing when this source does not know the ProgID.
  // Throws Error when it knows the class but can't create it.
  virtual ObjectRef create(StringView progId) = 0;
};
SKEIN10_API void addClassSource(std::shared_ptr<ClassSource> source);
SKEIN10_API void removeClassSource(const std::shared_ptr<ClassSource>& source);

// A new instance of the class. Error 429 "Can't create object" when the
// ProgID is unknown or its factory fails; its description goes on to say
// why: the ProgID, the registration stores searched, and for a registered
// class the library's load error or the factory's error, for example
//   Can't create object: 'Skein10.clsKvInetFTPConnection' is not registered
//   in /home/ann/.config/skein10/registry or /usr/lib/x86_64-linux-gnu/skein10/registry
//   ('skein10 register --library FILE' registers a library's classes)
SKEIN10_API ObjectRef CreateObject(StringView progId);

}  // namespace skein10

#pragma once
// The base of every runtime object: a reference count and late binding.

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "skein10/Ref.h"
#include "skein10/Status.h"
#include "skein10/String.h"
#include "skein10/Export.h"

namespace skein10 {

class Variant;
struct InterfaceInfo;
class ModuleUsage;
namespace detail {
class HomeThread;
}

using DispId = int32_t;

// What a late-bound call asks of a member; Method and Get may be combined
// (the caller takes a property read or a method call, whichever exists).
enum class InvokeKind : uint16_t { Method = 1, Get = 2, Let = 4, Set = 8 };
constexpr InvokeKind operator|(InvokeKind a, InvokeKind b) {
  return static_cast<InvokeKind>(static_cast<uint16_t>(a) | static_cast<uint16_t>(b));
}
constexpr bool hasKind(InvokeKind set, InvokeKind k) {
  return (static_cast<uint16_t>(set) & static_cast<uint16_t>(k)) != 0;
}

class SKEIN10_API Object {
 public:
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  void addRef() const noexcept { count_.fetch_add(1, std::memory_order_relaxed); }
  // Drops a reference. The last one destroys the object on the thread that
  // created it: released on another thread (a garbage collector's, a worker
  // that was handed the reference), the object waits for its own thread's
  // next late-bound call, DoEvents or wait, or for that thread's end. Once
  // that thread has ended, the object is destroyed where its last reference
  // goes.
  void release() const noexcept;
  // The number of counted references held now.
  long refCount() const noexcept { return count_.load(std::memory_order_relaxed); }

  // Counts this object as a live object of a component library until it is
  // destroyed (the library's class factory does this for what it creates).
  void countIn(ModuleUsage& module) noexcept;

  // The type information of the object's one interface.
  virtual const InterfaceInfo& interfaceInfo() const = 0;

  // Late binding. Both return a status; on failure the thread's error info
  // holds 438 (no such member) or 450 (wrong number of arguments), or the
  // member's own error, and *id or *result hold their empty value.
  Status GetIDOfName(const String& name, DispId* id) const;
  Status Invoke(DispId id, InvokeKind kind, std::vector<Variant>& args, Variant* result);

 protected:
  Object();
  virtual ~Object();

 private:
  friend class detail::HomeThread;
  static void destroy(const Object* object) noexcept { delete object; }

  mutable std::atomic<long> count_{0};
  ModuleUsage* module_ = nullptr;
  std::shared_ptr<detail::HomeThread> home_;
};

// Destroys the objects of the calling thread whose last reference went on
// another thread. The runtime does this in every late-bound call, in
// DoEvents and in every wait; a thread that does neither for long may call it.
SKEIN10_API void releaseAdoptedObjects();

using ObjectRef = Ref<Object>;

}  // namespace skein10
